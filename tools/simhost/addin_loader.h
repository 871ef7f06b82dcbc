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
};

}  // namespace kq::simhost
