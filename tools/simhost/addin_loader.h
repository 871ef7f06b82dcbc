#pragma once
// The host's start-up and shut-down of COM add-ins: every add-in the user
// registered to load at start-up is created in process and connected with the
// application object and its entry of the COM add-in list; at close each is
// disconnected and released.

#include "common/win32/windows_api.h"

#include <functional>
#include <string>
#include <vector>

#include "common/win32/com.h"
#include "common/win32/extensibility.h"
#include "host/host.h"
#include "tools/simhost/transcript.h"

namespace kq::simhost {

// Told of the add-ins the host connects and lets go of (the ribbon asks each
// for its markup).
class AddInWatcher {
public:
    virtual ~AddInWatcher() = default;
    virtual void connected(const std::string& progId, IUnknown* addIn) = 0;
    // Every start-up add-in has been connected.
    virtual void startupDone() = 0;
    // Just before the add-in's disconnection.
    virtual void disconnecting(const std::string& progId) = 0;
};

class AddInLoader {
public:
    // `entryFor` gives the add-in list's entry of a ProgID (made on first use).
    AddInLoader(IDispatch* application, std::function<host::AddInEntryPtr(const std::string&)> entryFor,
                Transcript& transcript)
        : application_(win32::ComPtr<IDispatch>::share(application)),
          entryFor_(std::move(entryFor)),
          transcript_(transcript) {}
    ~AddInLoader() { unloadAll(); }
    AddInLoader(const AddInLoader&) = delete;
    AddInLoader& operator=(const AddInLoader&) = delete;

    // Connects the start-up add-ins (ext_cm_Startup). An add-in that set its
    // entry's Connect to False during the connection is disconnected
    // (ext_dm_UserClosed) and released at once, as the host unloads it.
    void loadAll();
    // Disconnects the connected add-ins (ext_dm_HostShutdown) in the order they
    // were connected, and releases them.
    void unloadAll();
    std::size_t connectedCount() const { return loaded_.size(); }
    // `watcher` (may be null) outlives the loader's use of it.
    void watch(AddInWatcher* watcher) { watcher_ = watcher; }

private:
    struct Loaded {
        std::string progId;
        win32::ComPtr<win32::IDTExtensibility2> addIn;
        host::AddInEntryPtr entry;
    };
    void load(const std::string& progId);
    void disconnect(Loaded& loaded, win32::ext_DisconnectMode mode);

    win32::ComPtr<IDispatch> application_;
    std::function<host::AddInEntryPtr(const std::string&)> entryFor_;
    Transcript& transcript_;
    std::vector<Loaded> loaded_;
    AddInWatcher* watcher_ = nullptr;
};

}  // namespace kq::simhost
