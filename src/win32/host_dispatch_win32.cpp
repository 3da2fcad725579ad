// HostAutomation over COM: the host's IDispatch found in the running object table.
#include "win32/host_dispatch_win32.h"

#include <algorithm>
#include <vector>

#include "win32/wide_text_win32.h"

namespace {

constexpr DISPID kFrequency = 2;
constexpr DISPID kGetEntryField = 8;
constexpr DISPID kRunCommand = 16;
constexpr DISPID kSetEntryField = 18;

VARIANT LongArg(int value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT TextArg(const Bstr& text) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = text.Get();  // still owned by `text`
    return v;
}

std::string TextOf(BSTR b) { return b ? AnsiFrom(std::wstring_view(b, SysStringLen(b))) : std::string(); }

}  // namespace

void HostDispatch::Connect() {
    dispatch_.Reset();
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(L"Tevo2.Application", &clsid))) return;
    ComPtr<IUnknown> running;
    if (FAILED(GetActiveObject(clsid, nullptr, running.Put())) || !running) return;
    IDispatch* dispatch = nullptr;
    if (SUCCEEDED(running->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))) && dispatch)
        *dispatch_.Put() = dispatch;
}

void HostDispatch::Invoke(DISPID id, WORD flags, VARIANT* args, UINT count, VARIANT* result) {
    // Invoke takes the arguments last first.
    std::vector<VARIANT> reversed(args, args + count);
    std::reverse(reversed.begin(), reversed.end());
    DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, count, 0};
    ExcepInfo exception;
    UINT badArg = 0;
    const HRESULT hr = dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result,
                                         exception.Get(), &badArg);
    if (FAILED(hr)) throw HostError("the host refused an automation call");
}

double HostDispatch::GetFrequency() {
    if (!dispatch_) return 0.0;
    Variant result;
    Invoke(kFrequency, DISPATCH_PROPERTYGET, nullptr, 0, result.Get());
    if (FAILED(VariantChangeType(result.Get(), result.Get(), 0, VT_R8)))
        throw HostError("the host's frequency is not a number");
    return (*result).dblVal;
}

std::string HostDispatch::GetEntryField(int index) {
    if (!dispatch_) return {};
    VARIANT arg = LongArg(index);
    Variant result;
    Invoke(kGetEntryField, DISPATCH_METHOD, &arg, 1, result.Get());
    if ((*result).vt != VT_BSTR && FAILED(VariantChangeType(result.Get(), result.Get(), 0, VT_BSTR)))
        throw HostError("an entry field of the host is not text");
    return TextOf((*result).bstrVal);
}

void HostDispatch::RunCommand(std::string_view command) {
    if (!dispatch_) return;
    Bstr text(WideFrom(command, CP_THREAD_ACP));
    VARIANT arg = TextArg(text);
    Invoke(kRunCommand, DISPATCH_METHOD, &arg, 1, nullptr);
}

void HostDispatch::SetEntryField(int index, std::string_view text) {
    if (!dispatch_) return;
    Bstr value(WideFrom(text, CP_THREAD_ACP));
    VARIANT args[2] = {LongArg(index), TextArg(value)};
    Invoke(kSetEntryField, DISPATCH_METHOD, args, 2, nullptr);
}
