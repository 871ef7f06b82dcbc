#include "addin/core/setting.h"

#include <optional>
#include <string_view>
#include <utility>

#include "common/vb.h"

namespace kq::addin {

namespace {

namespace texts {
constexpr std::string_view kSection = "Setting";
constexpr std::string_view kFolder = "Folder";
constexpr std::string_view kShowMessageWhenPrintRun = "ShowMessageWhenPrintRun";
constexpr std::string_view kShowProgressTime = "ShowProgressTime";
constexpr std::string_view kShowMessageWhenAdd = "ShowMessageWhenAdd";
constexpr std::string_view kShowMessageXlaError = "ShowMessageXlaError";
constexpr std::string_view kSurveillanceDirectPrint = "Surveillance_DirectPrint";
constexpr std::string_view kSurveillancePreview = "Surveillance_Preview";
constexpr std::string_view kSurveillanceUnkown = "Surveillance_Unkown";
}  // namespace texts

constexpr double kMaxProgressTime = 10;

std::string readText(SettingsStore& store, std::string_view name, std::string_view fallback) {
    return store.read(texts::kSection, name).value_or(std::string(fallback));
}

// Only a leading number of exactly 1 is true: "True" and "-1" are not.
bool readBoolean(SettingsStore& store, std::string_view name, bool fallback) {
    return vb::Val(readText(store, name, fallback ? "1" : "0")) == 1;
}

void writeBoolean(SettingsStore& store, std::string_view name, bool value) {
    store.write(texts::kSection, name, value ? "1" : "0");
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
    const std::string defaultFolder = folder_.GetDefaultFolder();
    const std::optional<std::string> stored = store_.read(texts::kSection, texts::kFolder);
    folder_.load(stored && isUsableFolderText(*stored) ? *stored : defaultFolder);
    showMessageWhenPrintRun_ = readBoolean(store_, texts::kShowMessageWhenPrintRun, true);
    const double progressTime = vb::Val(readText(store_, texts::kShowProgressTime, "2"));
    showProgressTime_ = progressTime < 0 ? 0 : progressTime > kMaxProgressTime ? kMaxProgressTime : progressTime;
    showMessageWhenAdd_ = readBoolean(store_, texts::kShowMessageWhenAdd, true);
    showMessageXlaError_ = readBoolean(store_, texts::kShowMessageXlaError, true);
    surveillancePrint_ = true;
    surveillanceDirectPrint_ = readBoolean(store_, texts::kSurveillanceDirectPrint, true);
    surveillancePreview_ = readBoolean(store_, texts::kSurveillancePreview, false);
    surveillanceUnkown_ = unknownStartsAlwaysRecorded() || readBoolean(store_, texts::kSurveillanceUnkown, true);
}

void c_Setting::SaveSettings() {
    store_.write(texts::kSection, texts::kFolder, folder_.textToStore());
    writeBoolean(store_, texts::kShowMessageWhenPrintRun, showMessageWhenPrintRun_);
    store_.write(texts::kSection, texts::kShowProgressTime, vb::NumberText(showProgressTime_));
    writeBoolean(store_, texts::kShowMessageWhenAdd, showMessageWhenAdd_);
    writeBoolean(store_, texts::kShowMessageXlaError, showMessageXlaError_);
    writeBoolean(store_, texts::kSurveillanceDirectPrint, surveillanceDirectPrint_);
    writeBoolean(store_, texts::kSurveillancePreview, surveillancePreview_);
    if (!unknownStartsAlwaysRecorded()) writeBoolean(store_, texts::kSurveillanceUnkown, surveillanceUnkown_);
}

}  // namespace kq::addin
