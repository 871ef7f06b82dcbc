#include "addin/core/setting.h"

#include <optional>
#include <string_view>
#include <utility>

#include "common/setting_names.h"
#include "common/vb.h"

namespace kq::addin {

namespace {

// The values' names in the settings store.
namespace names {
using setting_names::kFolder;
using setting_names::kSection;
constexpr std::string_view kShowMessageWhenPrintRun = "ShowMessageWhenPrintRun";
constexpr std::string_view kShowProgressTime = "ShowProgressTime";
constexpr std::string_view kShowMessageWhenAdd = "ShowMessageWhenAdd";
constexpr std::string_view kShowMessageXlaError = "ShowMessageXlaError";
constexpr std::string_view kSurveillanceDirectPrint = "Surveillance_DirectPrint";
constexpr std::string_view kSurveillancePreview = "Surveillance_Preview";
constexpr std::string_view kSurveillanceUnkown = "Surveillance_Unkown";
}  // namespace names

std::string readText(SettingsStore& store, std::string_view name, std::string_view fallback) {
    return store.read(names::kSection, name).value_or(std::string(fallback));
}

// Only a leading number of exactly 1 is true: "True" and "-1" are not.
bool readBoolean(SettingsStore& store, std::string_view name, bool fallback) {
    return vb::Val(readText(store, name, fallback ? "1" : "0")) == 1;
}

void writeBoolean(SettingsStore& store, std::string_view name, bool value) {
    store.write(names::kSection, name, value ? "1" : "0");
}

}  // namespace

c_Setting::c_Setting(SettingsStore& store, HistoryFolderServices services, double hostVersion)
    : store_(store), folder_(std::move(services)), hostVersion_(hostVersion) {
    LoadSettings();
}

c_Setting::~c_Setting() {
    try {
        SaveSettings();
    } catch (...) {
        // Release runs at disconnection: nothing is left to report a failure to.
    }
}

void c_Setting::LoadSettings() {
    folder_.load(store_, DefaultFolderLookup::always);
    showMessageWhenPrintRun_ = readBoolean(store_, names::kShowMessageWhenPrintRun, true);
    const double progressTime = vb::Val(readText(store_, names::kShowProgressTime, "2"));
    showProgressTime_ = progressTime < 0 ? 0 : progressTime > kMaxProgressTime ? kMaxProgressTime : progressTime;
    showMessageWhenAdd_ = readBoolean(store_, names::kShowMessageWhenAdd, true);
    showMessageXlaError_ = readBoolean(store_, names::kShowMessageXlaError, true);
    surveillancePrint_ = true;
    surveillanceDirectPrint_ = readBoolean(store_, names::kSurveillanceDirectPrint, true);
    surveillancePreview_ = readBoolean(store_, names::kSurveillancePreview, false);
    surveillanceUnkown_ = unknownStartsAlwaysRecorded() || readBoolean(store_, names::kSurveillanceUnkown, true);
}

void c_Setting::SaveSettings() {
    store_.write(names::kSection, names::kFolder, folder_.textToStore());
    writeBoolean(store_, names::kShowMessageWhenPrintRun, showMessageWhenPrintRun_);
    store_.write(names::kSection, names::kShowProgressTime, vb::NumberText(showProgressTime_));
    writeBoolean(store_, names::kShowMessageWhenAdd, showMessageWhenAdd_);
    writeBoolean(store_, names::kShowMessageXlaError, showMessageXlaError_);
    writeBoolean(store_, names::kSurveillanceDirectPrint, surveillanceDirectPrint_);
    writeBoolean(store_, names::kSurveillancePreview, surveillancePreview_);
    if (!unknownStartsAlwaysRecorded()) writeBoolean(store_, names::kSurveillanceUnkown, surveillanceUnkown_);
}

}  // namespace kq::addin
