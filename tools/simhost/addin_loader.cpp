#include "tools/simhost/addin_loader.h"

#include <cstdio>

#include "common/win32/wide.h"
#include "tools/simhost/com_registration.h"
#include "tools/simhost/host_objects.h"

namespace kq::simhost {

namespace {

std::string hex(HRESULT hr) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08lX", static_cast<unsigned long>(hr));
    return buffer;
}

// The empty custom array the host passes with every notification.
class CustomArray {
public:
    CustomArray() : array_(SafeArrayCreateVector(VT_VARIANT, 0, 0)) {}
    ~CustomArray() {
        if (array_) SafeArrayDestroy(array_);
    }
    CustomArray(const CustomArray&) = delete;
    CustomArray& operator=(const CustomArray&) = delete;
    SAFEARRAY** get() { return &array_; }

private:
    SAFEARRAY* array_;
};

}  // namespace

void AddInLoader::loadAll() {
    for (const std::string& progId : startupAddIns()) load(progId);
    if (watcher_) watcher_->startupDone();
}

void AddInLoader::load(const std::string& progId) {
    const std::string prefix = "  addin " + progId + ": ";
    const std::string mirrored = mirrorClassRegistration(progId);
    if (!mirrored.empty()) {
        transcript_.line(prefix + "not loaded, " + mirrored);
        return;
    }
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(win32::wide(progId).c_str(), &clsid);
    if (FAILED(hr)) {
        transcript_.line(prefix + "not loaded, no class for the ProgID (" + hex(hr) + ")");
        return;
    }
    win32::ComPtr<IUnknown> created;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, created.putVoid());
    if (FAILED(hr)) {
        transcript_.line(prefix + "not loaded, cannot create it (" + hex(hr) + ")");
        return;
    }
    auto addIn = created.as<win32::IDTExtensibility2>(win32::IID_IDTExtensibility2);
    if (!addIn) {
        transcript_.line(prefix + "not loaded, it is no add-in");
        return;
    }

    host::AddInEntryPtr entry = entryFor_(progId);
    entry->SetConnect(true);
    win32::ComPtr<IDispatch> addInInst = wrapAddInEntry(entry);
    CustomArray custom;
    hr = addIn->OnConnection(application_.get(), win32::ext_cm_Startup, addInInst.get(), custom.get());
    Loaded loaded{progId, std::move(addIn), entry};
    if (FAILED(hr)) {
        transcript_.line(prefix + "connection failed (" + hex(hr) + ")");
        entry->SetConnect(false);
    }
    if (!entry->Connect()) {
        if (SUCCEEDED(hr)) transcript_.line(prefix + "refused the connection");
        disconnect(loaded, win32::ext_dm_UserClosed);
        return;
    }
    transcript_.line(prefix + "connected");
    loaded_.push_back(std::move(loaded));
    if (watcher_) watcher_->connected(progId, loaded_.back().addIn.get());
}

void AddInLoader::disconnect(Loaded& loaded, win32::ext_DisconnectMode mode) {
    if (watcher_) watcher_->disconnecting(loaded.progId);
    CustomArray custom;
    const HRESULT hr = loaded.addIn->OnDisconnection(mode, custom.get());
    if (FAILED(hr)) transcript_.line("  addin " + loaded.progId + ": disconnection failed (" + hex(hr) + ")");
    // The entry lets go of what the add-in published, so the add-in's objects can go.
    host::ignoreErrors([&] { loaded.entry->SetObject(nullptr); });
    host::ignoreErrors([&] { loaded.entry->SetConnect(false); });
    loaded.addIn.reset();
}

void AddInLoader::unloadAll() {
    for (Loaded& loaded : loaded_) {
        disconnect(loaded, win32::ext_dm_HostShutdown);
        transcript_.line("  addin " + loaded.progId + ": disconnected");
    }
    loaded_.clear();
}

}  // namespace kq::simhost
