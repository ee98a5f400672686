// Owners for COM: an apartment for the scope of a thread, and an interface
// pointer released once.
#pragma once

#include <objbase.h>

namespace quorvel::win32 {

class ComApartment {
  public:
    explicit ComApartment(DWORD model = COINIT_APARTMENTTHREADED)
        : ok_(SUCCEEDED(CoInitializeEx(nullptr, model))) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (ok_) CoUninitialize();
    }

  private:
    bool ok_;
};

template <class T>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (p_) p_->Release();
    }
    T** put() { return &p_; }
    T* operator->() const { return p_; }
    T* get() const { return p_; }

  private:
    T* p_ = nullptr;
};

}  // namespace quorvel::win32
