// Owners of COM resources: an interface pointer, a BSTR, a VARIANT, the error
// texts of a failed Invoke, and the thread's COM apartment.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string_view>
#include <utility>

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { Reset(); }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For functions that hand out a new reference.
    T** Put() {
        Reset();
        return &p_;
    }
    void Reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }

private:
    T* p_ = nullptr;
};

class Bstr {
public:
    explicit Bstr(std::wstring_view text)
        : b_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(b_); }
    BSTR Get() const { return b_; }

private:
    BSTR b_;
};

class Variant {
public:
    Variant() { VariantInit(&v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&v_); }
    VARIANT* Get() { return &v_; }
    const VARIANT& operator*() const { return v_; }

private:
    VARIANT v_;
};

// Invoke may fill the texts of a host exception; they are ours to free.
class ExcepInfo {
public:
    ExcepInfo() : e_{} {}
    ExcepInfo(const ExcepInfo&) = delete;
    ExcepInfo& operator=(const ExcepInfo&) = delete;
    ~ExcepInfo() {
        SysFreeString(e_.bstrSource);
        SysFreeString(e_.bstrDescription);
        SysFreeString(e_.bstrHelpFile);
    }
    EXCEPINFO* Get() { return &e_; }

private:
    EXCEPINFO e_;
};

// A COM apartment for the lifetime of the object (single-threaded unless told),
// balanced on the same thread.
class ComApartment {
public:
    explicit ComApartment(DWORD model = COINIT_APARTMENTTHREADED) : ok_(SUCCEEDED(CoInitializeEx(nullptr, model))) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (ok_) CoUninitialize();
    }
    // The module is being unloaded under the loader lock, which the apartment's
    // clean-up may need: leave it to the system's thread clean-up instead.
    void Abandon() { ok_ = false; }

private:
    bool ok_;
};
