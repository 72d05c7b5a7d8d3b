#pragma once
// win::ComPtr under the verbs ado/com and tests/ado still use; this goes when they
// include win/com_ptr.h.
#include "win/com_ptr.h"

template <class T>
class ComPtr : public win::ComPtr<T> {
public:
    ComPtr() = default;
    ComPtr(win::ComPtr<T> owner) : win::ComPtr<T>(std::move(owner)) {}
    static ComPtr Attach(T* p) { return win::ComPtr<T>(p); }
    static ComPtr Share(T* p) { return win::ComPtr<T>::share(p); }
    T* Get() const { return this->get(); }
    T** Put() { return this->put(); }
    void** PutVoid() { return this->put_void(); }
    void Reset() { this->reset(); }
    T* Detach() { return this->release(); }
    template <class U>
    ComPtr<U> Query(REFIID iid) const {
        return this->template query<U>(iid);
    }
};
