#pragma once
// Owner of one LoadLibrary reference.
#include <windows.h>

#include <utility>

class UniqueModule {
public:
    UniqueModule() = default;
    explicit UniqueModule(HMODULE module) : module_(module) {}
    UniqueModule(UniqueModule&& other) noexcept : module_(other.release()) {}
    UniqueModule& operator=(UniqueModule&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueModule(const UniqueModule&) = delete;
    UniqueModule& operator=(const UniqueModule&) = delete;
    ~UniqueModule() { reset(); }

    HMODULE get() const { return module_; }
    explicit operator bool() const { return module_ != nullptr; }
    HMODULE release() { return std::exchange(module_, nullptr); }
    void reset(HMODULE module = nullptr) {
        HMODULE old = std::exchange(module_, module);
        if (old) FreeLibrary(old);
    }

private:
    HMODULE module_ = nullptr;
};
