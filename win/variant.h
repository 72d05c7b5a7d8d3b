#pragma once
// OwnedVariant: one VARIANT, all zeros when empty, cleared when the owner ends.
// A copy is deep (VariantCopy); a copy that fails is empty.
#include <windows.h>
#include <oleauto.h>

#include <cstring>

namespace win {

class OwnedVariant {
public:
    OwnedVariant() { Zero(); }
    OwnedVariant(const OwnedVariant& other) : OwnedVariant() {
        if (FAILED(VariantCopy(&v_, const_cast<VARIANT*>(&other.v_)))) Zero();
    }
    OwnedVariant(OwnedVariant&& other) noexcept : v_(other.release()) {}
    OwnedVariant& operator=(OwnedVariant other) noexcept {
        reset();
        v_ = other.release();
        return *this;
    }
    ~OwnedVariant() { VariantClear(&v_); }

    const VARIANT& get() const { return v_; }
    VARIANT& get() { return v_; }
    // For out-parameters: clears the old value first.
    VARIANT* put() {
        reset();
        return &v_;
    }
    void reset() {
        VariantClear(&v_);
        Zero();
    }
    // Hands the value over to the caller and is empty again.
    VARIANT release() {
        VARIANT v = v_;
        Zero();
        return v;
    }

private:
    void Zero() { std::memset(&v_, 0, sizeof v_); }
    VARIANT v_;
};

}  // namespace win
