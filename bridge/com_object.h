#pragma once
// ComObject: one counted automation object reference, driven by member name
// through its type information.
#include <windows.h>
#include <oaidl.h>

#include <array>
#include <cstddef>
#include <utility>

#include "bridge/bridge_arg.h"
#include "bridge/invoke.h"
#include "bridge/variant.h"
#include "core/types.h"
#include "win/com_ptr.h"

namespace bridge {

// An empty object has no interface; a copy shares the interface (one AddRef)
// but never the record data.
class ComObject {
public:
    ComObject() = default;
    ComObject(const ComObject& other) : objectInterface_(other.objectInterface_) {}
    ComObject(ComObject&& other) noexcept
        : objectInterface_(std::move(other.objectInterface_)), recordData_(std::exchange(other.recordData_, nullptr)) {}
    ComObject& operator=(ComObject other) noexcept;
    ~ComObject() { Clear(); }

    // A new object by ProgID, by "{CLSID}" text, or through typeLibraryFile;
    // the old object is replaced only on success.
    bool Create(const Text& progId);
    bool Create(const Text& progId, const Text& typeLibraryFile);
    // Meant for a fresh value: the old content is not released.
    void CopyFrom(const ComObject& source);
    void Clear();

    // Holds unknown with a reference of its own.
    static ComObject FromInterface(IUnknown* unknown);
    // A user-defined record: takes a reference on info and owns data (a block
    // made by IRecordInfo::RecordCreate).
    void AttachRecord(IRecordInfo* info, void* data);

    bool IsEmpty() const { return !objectInterface_; }
    IUnknown* Interface() const { return objectInterface_.get(); }
    void* RecordData() const { return recordData_; }

    template <class... Args>
    void CallMethod(const Text& name, const Args&... args) const {
        Run(name, CallKind::Method, TC_None, nullptr, args...);
    }
    template <class... Args>
    ComObject CallObjectMethod(const Text& name, const Args&... args) const {
        return Call<ComObject>(name, CallKind::Method, TC_ComObject, args...);
    }
    template <class... Args>
    Variant CallVariantMethod(const Text& name, const Args&... args) const {
        return Call<Variant>(name, CallKind::Method, TC_Variant, args...);
    }
    template <class... Args>
    Text GetTextProperty(const Text& name, const Args&... args) const {
        return Call<Text>(name, CallKind::Get, TC_Text, args...);
    }
    template <class... Args>
    double GetNumberProperty(const Text& name, const Args&... args) const {
        return Call<double>(name, CallKind::Get, TC_Double, args...);
    }
    template <class... Args>
    bool GetBoolProperty(const Text& name, const Args&... args) const {
        return Call<bool>(name, CallKind::Get, TC_Bool, args...);
    }
    template <class... Args>
    double GetDateProperty(const Text& name, const Args&... args) const {
        return Call<double>(name, CallKind::Get, TC_Date, args...);
    }
    template <class... Args>
    ComObject GetObjectProperty(const Text& name, const Args&... args) const {
        return Call<ComObject>(name, CallKind::Get, TC_ComObject, args...);
    }
    template <class... Args>
    Variant GetVariantProperty(const Text& name, const Args&... args) const {
        return Call<Variant>(name, CallKind::Get, TC_Variant, args...);
    }
    // The value is the last argument, index arguments before it.
    template <class... Args>
    bool SetProperty(const Text& name, const Args&... args) const {
        return Run(name, CallKind::Put, TC_None, nullptr, args...) == CallStatus::Ok;
    }

private:
    template <class... Args>
    CallStatus Run(const Text& name, CallKind kind, std::uint32_t type, void* result, const Args&... args) const {
        const std::array<BridgeArg, sizeof...(Args)> packed{{args...}};
        return InvokeByName(*this, name, kind, packed.data(), packed.size(), type, result);
    }
    template <class R, class... Args>
    R Call(const Text& name, CallKind kind, std::uint32_t type, const Args&... args) const {
        R result{};
        Run(name, kind, type, &result, args...);
        return result;
    }

    win::ComPtr<IUnknown> objectInterface_;
    void* recordData_ = nullptr;  // a record; objectInterface_ is then its IRecordInfo
};

// OleInitialize/OleUninitialize kept paired for the life of the owner.
class OleSession {
public:
    OleSession();
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;
    ~OleSession();
    bool Ok() const { return ok_; }

private:
    bool ok_;
};

}  // namespace bridge

