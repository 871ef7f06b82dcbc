#include "addin/core/globals.h"

#include "addin/core/texts.h"

namespace kq::addin {

host::ApplicationPtr g_Application;
std::shared_ptr<c_Setting> g_Setting;
std::int32_t g_ResBase = 0;
std::string g_Title;
std::int32_t PrintCommandKind = print_kind::kOther;
bool AfterPrintPending = false;

std::string GetAppTitle() { return std::string(texts::kAppTitle); }

}  // namespace kq::addin
