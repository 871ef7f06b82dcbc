#include "ribbon/win32/host_ribbon.h"

#include "common/win32/com.h"
#include "common/win32/ribbon_interfaces.h"
#include "common/win32/wide.h"
#include "host/dispatch/dispatch_call.h"

namespace kq::ribbon::win32 {

namespace {

using kq::win32::Bstr;
using kq::win32::ComPtr;

void check(HRESULT result) {
    if (FAILED(result)) throw host::dispatch::errorFromResult(result, nullptr);
}

class HostRibbonUi final : public RibbonUi {
public:
    explicit HostRibbonUi(IDispatch* ribbon)
        : object_(ComPtr<IDispatch>::share(ribbon)),
          ribbon_(object_.as<kq::win32::IRibbonUI>()) {}

    void InvalidateControl(const std::string& controlId) override {
        if (!ribbon_) {
            host::dispatch::Caller(ComPtr<IDispatch>::share(object_.get())).call("InvalidateControl", controlId);
            return;
        }
        const Bstr id(controlId);
        check(ribbon_->InvalidateControl(id.get()));
    }

private:
    ComPtr<IDispatch> object_;
    ComPtr<kq::win32::IRibbonUI> ribbon_;
};

}  // namespace

RibbonUiPtr wrapRibbonUi(IDispatch* ribbon) {
    if (!ribbon) return {};
    return std::make_shared<HostRibbonUi>(ribbon);
}

std::string HostRibbonControl::Id() {
    if (!control_) throw host::runtimeError(host::err::kObjectRequired);
    const auto control = ComPtr<IDispatch>::share(control_).as<kq::win32::IRibbonControl>();
    if (!control) {
        const kq::win32::Variant id = host::dispatch::Caller(ComPtr<IDispatch>::share(control_)).get("Id");
        return host::dispatch::toText(*id.get());
    }
    Bstr id;
    check(control->get_Id(id.put()));
    return id.utf8();
}

}  // namespace kq::ribbon::win32
