// The application events, from the simulated host through simhost's
// connection point and the façade's sink to the add-in's handlers.

#include <gtest/gtest.h>

#include "common/win32/com_object.h"
#include "host/dispatch/app_events.h"
#include "host/dispatch/dispatch_events.h"
#include "host/dispatch/dispatch_host.h"
#include "host/sim/sim_application.h"
#include "tools/simhost/host_objects.h"

namespace kq::simhost {
namespace {

namespace dispatch = kq::host::dispatch;
namespace sim = kq::host::sim;

class Recorder final : public host::ApplicationEvents {
public:
    std::vector<std::string> seen;
    void WorkbookBeforePrint(const host::WorkbookPtr& wb) override { seen.push_back("BeforePrint " + wb->Name()); }
    void WorkbookBeforeSave(const host::WorkbookPtr& wb) override { seen.push_back("BeforeSave " + wb->Name()); }
    void WorkbookOpen(const host::WorkbookPtr& wb) override { seen.push_back("Open " + wb->Name()); }
    void NewWorkbook(const host::WorkbookPtr& wb) override { seen.push_back("New " + wb->Name()); }
    void WorkbookActivate(const host::WorkbookPtr& wb) override { seen.push_back("Activate " + wb->Name()); }
    void WindowActivate(const host::WorkbookPtr& wb, const host::WindowPtr& wn) override {
        seen.push_back("WindowActivate " + wb->Name() + " " + std::to_string(wn->WindowState()));
    }
    void WindowDeactivate(const host::WorkbookPtr& wb, const host::WindowPtr& wn) override {
        seen.push_back("WindowDeactivate " + wb->Name() + " " + std::to_string(wn->WindowState()));
    }
    void SheetActivate(const host::SheetPtr& sh) override { seen.push_back("SheetActivate " + sh->Name()); }
};

// A handler that fails must not stop the host's action.
class Thrower final : public host::ApplicationEvents {
public:
    int calls = 0;
    void WorkbookBeforePrint(const host::WorkbookPtr&) override { fail(); }
    void WorkbookBeforeSave(const host::WorkbookPtr&) override { fail(); }
    void WorkbookOpen(const host::WorkbookPtr&) override { fail(); }
    void NewWorkbook(const host::WorkbookPtr&) override { fail(); }
    void WorkbookActivate(const host::WorkbookPtr&) override { fail(); }
    void WindowActivate(const host::WorkbookPtr&, const host::WindowPtr&) override { fail(); }
    void WindowDeactivate(const host::WorkbookPtr&, const host::WindowPtr&) override { fail(); }
    void SheetActivate(const host::SheetPtr&) override { fail(); }

private:
    void fail() {
        ++calls;
        throw host::HostError(91, "handler failed");
    }
};

class Events : public ::testing::Test {
protected:
    void SetUp() override {
        app = sim::SimApplication::create();
        object = ApplicationObject::create(app);
        facade = dispatch::wrapApplication(object.get());
    }
    std::shared_ptr<sim::SimApplication> app;
    win32::ComPtr<ApplicationObject> object;
    host::ApplicationPtr facade;
};

TEST_F(Events, EachEventReachesTheSinkWithItsObjects) {
    Recorder recorder;
    auto connection = facade->Advise(recorder);
    auto first = app->newWorkbook();
    first->addWorksheet("Second");
    first->sheet("Second")->activate();
    app->print();
    first->Save();
    app->newWorkbook();
    app->activateWorkbook(first);
    const std::string maximized = std::to_string(host::xlMaximized);
    EXPECT_EQ(recorder.seen, (std::vector<std::string>{
                                 "New Book1", "Activate Book1", "WindowActivate Book1 " + maximized,
                                 "SheetActivate Second", "BeforePrint Book1", "BeforeSave Book1",
                                 "WindowDeactivate Book1 " + maximized, "New Book2", "Activate Book2",
                                 "WindowActivate Book2 " + maximized, "WindowDeactivate Book2 " + maximized,
                                 "Activate Book1", "WindowActivate Book1 " + maximized}));
}

TEST_F(Events, TheConnectionEndsWithItsOwner) {
    Recorder kept, dropped;
    auto keep = facade->Advise(kept);
    {
        auto drop = facade->Advise(dropped);
        EXPECT_EQ(object->sinkCount(), 2u);
        app->newWorkbook();
    }
    EXPECT_EQ(object->sinkCount(), 1u);
    app->print();
    EXPECT_EQ(dropped.seen.size(), 3u);
    EXPECT_EQ(kept.seen.back(), "BeforePrint Book1");
}

TEST_F(Events, NoneWhileTheAddInTurnedEventsOff) {
    Recorder recorder;
    auto connection = facade->Advise(recorder);
    app->newWorkbook();
    recorder.seen.clear();
    facade->SetEnableEvents(false);
    app->print();
    EXPECT_TRUE(recorder.seen.empty());
    facade->SetEnableEvents(true);
    app->print();
    EXPECT_EQ(recorder.seen, (std::vector<std::string>{"BeforePrint Book1"}));
}

TEST_F(Events, AFailingHandlerLeavesTheHostGoingOn) {
    Thrower thrower;
    Recorder recorder;
    auto failing = facade->Advise(thrower);
    auto listening = facade->Advise(recorder);
    app->newWorkbook();
    app->print();
    EXPECT_EQ(app->printCount(), 1);
    EXPECT_EQ(thrower.calls, 4);
    EXPECT_EQ(recorder.seen.back(), "BeforePrint Book1");
}

TEST_F(Events, TheHostDropsSinksWhenItCloses) {
    Recorder recorder;
    auto connection = facade->Advise(recorder);
    object->disconnectAll();
    app->newWorkbook();
    EXPECT_TRUE(recorder.seen.empty());
    connection.reset();  // the add-in's late goodbye is harmless
}

// An application that keeps the sink connected to it, to call it as a careless host might.
class SinkKeeper final : public win32::LateBoundObject<IDispatch, IConnectionPointContainer, IConnectionPoint> {
public:
    win32::ComPtr<IDispatch> sink;

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID, IConnectionPoint** point) override {
        return QueryInterface(IID_IConnectionPoint, reinterpret_cast<void**>(point));
    }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* given, DWORD* cookie) override {
        // As the host does: the sink is taken by the events' dispinterface.
        *cookie = 1;
        return given->QueryInterface(dispatch::kAppEventsIid, sink.putVoid());
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

private:
    ~SinkKeeper() override = default;
};

TEST(EventSink, AnswersTheEventsInterfaceAndIgnoresCallsWithoutTheirArguments) {
    const auto keeper = win32::makeObject<SinkKeeper>();
    Recorder recorder;
    const auto connection = dispatch::adviseApplicationEvents(keeper.get(), recorder);
    ASSERT_TRUE(keeper->sink);
    EXPECT_EQ(keeper->sink.as<IUnknown>().get(), static_cast<IUnknown*>(keeper->sink.get()));

    DISPPARAMS missing{nullptr, nullptr, 1, 0};
    for (const DISPID event : {dispatch::app_event::kWorkbookOpen, dispatch::app_event::kWindowActivate}) {
        EXPECT_EQ(keeper->sink->Invoke(event, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &missing, nullptr,
                                       nullptr, nullptr),
                  S_OK);
    }
    EXPECT_EQ(keeper->sink->Invoke(dispatch::app_event::kWorkbookOpen, IID_NULL, LOCALE_USER_DEFAULT,
                                   DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr),
              S_OK);
    EXPECT_TRUE(recorder.seen.empty());
}

}  // namespace
}  // namespace kq::simhost
