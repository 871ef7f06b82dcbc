#include "addin/core/addin_state.h"

#include <utility>

#include "addin/core/xl_events.h"

namespace kq::addin {

AddinState::AddinState(host::ApplicationPtr application) : g_Application(std::move(application)) {}

AddinState::~AddinState() {
    g_Setting.reset();
    g_Xl.reset();
    docPros_.reset();
    g_Application.reset();
}

c_Xl_DocPros& AddinState::g_DocPros() {
    if (!docPros_) docPros_ = std::make_unique<c_Xl_DocPros>();
    return *docPros_;
}

}  // namespace kq::addin
