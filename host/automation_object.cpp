#include "automation_object.h"

#include <oleauto.h>

#include <atomic>
#include <thread>

namespace {

// {5B0E6C1A-3D7E-4C55-9A21-7F3B2C8D4E61}: the stand-in's own class id.
const CLSID kStandInClsid = {0x5b0e6c1a, 0x3d7e, 0x4c55, {0x9a, 0x21, 0x7f, 0x3b, 0x2c, 0x8d, 0x4e, 0x61}};
const wchar_t kProgIdKey[] = L"Tevo2.Application";

std::string Narrow(const wchar_t* text, UINT length) {
    std::string out;
    for (UINT i = 0; i < length; ++i) out += text[i] < 128 ? static_cast<char>(text[i]) : '?';
    return out;
}

// False when the ProgID names another class: Tevo's own registration on an
// operator's machine, which must be neither replaced nor removed.
bool RegisterProgId() {
    wchar_t clsid[64] = {};
    StringFromGUID2(kStandInClsid, clsid, 64);
    wchar_t present[64] = {};
    LONG size = sizeof present;
    if (RegQueryValueW(HKEY_CLASSES_ROOT, L"Tevo2.Application\\CLSID", present, &size) == ERROR_SUCCESS &&
        present[0] && lstrcmpiW(present, clsid) != 0)
        return false;
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, L"Tevo2.Application\\CLSID", 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(clsid),
                   static_cast<DWORD>((lstrlenW(clsid) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return true;
}

void UnregisterProgId() {
    RegDeleteKeyW(HKEY_CLASSES_ROOT, L"Tevo2.Application\\CLSID");
    RegDeleteKeyW(HKEY_CLASSES_ROOT, kProgIdKey);
}

}  // namespace

class HostAutomationObject::Dispatch final : public IDispatch {
public:
    explicit Dispatch(HostAutomationObject& owner) : owner_(&owner) {}
    void Orphan() { owner_ = nullptr; }  // the test is over; late calls fail

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        if (owner_) owner_->calls.push_back("bad GetIDsOfNames");
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT*) override {
        if (!owner_) return RPC_E_DISCONNECTED;
        HostAutomationObject& o = *owner_;
        if (o.delayMs) Sleep(o.delayMs);
        if (o.stallNext == id) {
            o.stallNext = 0;
            o.calls.push_back("stalled " + std::to_string(id));
            Sleep(o.stallMs);
        }
        std::lock_guard<std::mutex> guard(o.scriptLock);
        if (o.failNext == id) {
            o.failNext = 0;
            o.calls.push_back("failed " + std::to_string(id));
            if (exception) {
                *exception = EXCEPINFO{};
                exception->scode = E_FAIL;
                exception->bstrSource = SysAllocString(L"Tevo");
                exception->bstrDescription = SysAllocString(L"scripted failure");
            }
            return DISP_E_EXCEPTION;
        }
        const UINT argc = params ? params->cArgs : 0;
        VARIANT* argv = params ? params->rgvarg : nullptr;  // last argument first
        switch (id) {
            case 2:
                if (flags != DISPATCH_PROPERTYGET || argc != 0 || !result) return Bad(o, "frequency");
                o.calls.push_back("frequency");
                VariantInit(result);
                result->vt = VT_R8;
                result->dblVal = o.frequencyHz;
                return S_OK;
            case 8: {
                if (!(flags & DISPATCH_METHOD) || argc != 1 || argv[0].vt != VT_I4 || !result) return Bad(o, "get");
                const int field = argv[0].lVal;
                o.calls.push_back("get " + std::to_string(field));
                VariantInit(result);
                const auto it = o.fields.find(field);
                const ScriptedField value = it == o.fields.end() ? ScriptedField::Text(L"") : it->second;
                switch (value.kind) {
                    case ScriptedField::Kind::text:
                        result->vt = VT_BSTR;
                        result->bstrVal = SysAllocStringLen(value.text.data(), static_cast<UINT>(value.text.size()));
                        break;
                    case ScriptedField::Kind::number:
                        result->vt = VT_I4;
                        result->lVal = value.number;
                        break;
                    case ScriptedField::Kind::unconvertible:
                        result->vt = VT_NULL;
                        break;
                }
                return S_OK;
            }
            case 16:
                if (!(flags & DISPATCH_METHOD) || argc != 1 || argv[0].vt != VT_BSTR) return Bad(o, "run");
                o.calls.push_back("run " + Narrow(argv[0].bstrVal, SysStringLen(argv[0].bstrVal)));
                return S_OK;
            case 18:
                if (!(flags & DISPATCH_METHOD) || argc != 2 || argv[1].vt != VT_I4 || argv[0].vt != VT_BSTR)
                    return Bad(o, "set");
                o.calls.push_back("set " + std::to_string(argv[1].lVal) + " " +
                                  Narrow(argv[0].bstrVal, SysStringLen(argv[0].bstrVal)));
                return S_OK;
            default:
                return Bad(o, "dispid " + std::to_string(id));
        }
    }

private:
    static HRESULT Bad(HostAutomationObject& o, const std::string& what) {
        o.calls.push_back("bad " + what);
        return DISP_E_MEMBERNOTFOUND;
    }

    HostAutomationObject* owner_;
    LONG refs_ = 1;
};

HostAutomationObject::HostAutomationObject() : object_(new Dispatch(*this)) {
    ownsProgId_ = RegisterProgId();
    if (!ownsProgId_ || FAILED(RegisterActiveObject(object_, kStandInClsid, ACTIVEOBJECT_STRONG, &cookie_))) cookie_ = 0;
}

HostAutomationObject::~HostAutomationObject() {
    if (cookie_) RevokeActiveObject(cookie_, nullptr);
    if (ownsProgId_) UnregisterProgId();
    object_->Orphan();
    object_->Release();
}

int HostAutomationObject::Count(const std::string& prefix) const {
    int n = 0;
    for (const auto& c : calls) n += c.rfind(prefix, 0) == 0;
    return n;
}

std::vector<std::string> HostAutomationObject::Commands() const {
    std::vector<std::string> out;
    for (const auto& c : calls)
        if (c.rfind("run ", 0) == 0) out.push_back(c.substr(4));
    return out;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

void RunOnWorker(const std::function<void()>& body, DWORD timeoutMs) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
        body();
        done = true;
    });
    PumpUntil([&] { return done.load(); }, timeoutMs);
    worker.join();
}
