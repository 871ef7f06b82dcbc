// The simulated host's command bars seen through simhost's IDispatch objects
// and the dispatch façade, the way the add-in library reaches them: they must
// answer as the model answers, and a click must reach the add-in's handler
// through the control's connection point and come back with its CancelDefault.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host/dispatch/dispatch_host.h"
#include "host/sim/sim_application.h"
#include "tests/support/host_errors.h"
#include "tools/simhost/host_objects.h"

namespace kq::simhost {
namespace {

namespace dispatch = kq::host::dispatch;
namespace sim = kq::host::sim;
using host::HostError;

using kq::test::errorOf;

struct ClickLog final : host::ButtonEvents {
    void Click(const host::CommandBarControlPtr& Ctrl, bool& CancelDefault) override {
        seen.push_back(Ctrl->Caption() + (CancelDefault ? " (cancelled before)" : ""));
        if (cancel) CancelDefault = true;
    }
    std::vector<std::string> seen;
    bool cancel = false;
};

class BarsRoundTrip : public ::testing::Test {
protected:
    void SetUp() override {
        app->commandBars()->setClipboard(faces);
        const auto book = app->addWorkbook("Book1.xls");
        book->addWorksheet("Sheet1");
    }

    std::shared_ptr<sim::SimApplication> app = sim::SimApplication::create("11.0");
    std::shared_ptr<sim::MemoryFaceClipboard> faces = std::make_shared<sim::MemoryFaceClipboard>();
    win32::ComPtr<ApplicationObject> object = ApplicationObject::create(app);
    host::ApplicationPtr facade = dispatch::wrapApplication(object.get());
    host::CommandBarsPtr bars = facade->CommandBars();
};

TEST_F(BarsRoundTrip, BarsAndControlsAnswerAsTheModel) {
    const auto menuBar = bars->Item(1);
    EXPECT_EQ(menuBar->Name(), "Worksheet Menu Bar");
    const auto menu = menuBar->AddControl(host::msoControlPopup, std::nullopt, true);
    menu->SetCaption("メニュー(&M)");
    menu->SetTag("MENU");
    menu->SetBeginGroup(true);
    const auto button = menu->CommandBar()->AddControl(host::msoControlButton, std::nullopt, true);
    const auto before = menu->CommandBar()->AddControl(host::msoControlButton, 1, true);
    button->SetCaption("Button");
    button->SetTag("BUTTON");
    button->SetOnAction("!<Some.Addin>");
    button->SetStyle(host::msoButtonIconAndCaption);
    button->SetFaceId(611);
    button->SetState(host::msoButtonDown);
    before->SetCaption("Before");

    const auto model = app->commandBars()->withTag("BUTTON");
    ASSERT_TRUE(model);
    EXPECT_EQ(model->caption(), "Button");
    EXPECT_EQ(model->onAction(), "!<Some.Addin>");
    EXPECT_EQ(model->style(), host::msoButtonIconAndCaption);
    EXPECT_EQ(model->faceId(), 611);
    EXPECT_EQ(model->state(), host::msoButtonDown);
    EXPECT_TRUE(model->temporary());

    const auto found = bars->FindControl({.Id = std::nullopt, .Tag = "BUTTON"});
    ASSERT_TRUE(found);
    EXPECT_EQ(found->Caption(), "Button");
    EXPECT_EQ(found->Id(), 1);
    EXPECT_EQ(found->Type(), host::msoControlButton);
    EXPECT_EQ(menuBar->FindControl({.Id = std::nullopt, .Tag = "MENU"})->Caption(), "メニュー(&M)");
    EXPECT_TRUE(menuBar->FindControl({.Id = std::nullopt, .Tag = "MENU"})->BeginGroup());
    std::vector<std::string> order;
    for (const auto& c : menu->CommandBar()->Controls()) order.push_back(c->Caption());
    EXPECT_EQ(order, (std::vector<std::string>{"Before", "Button"}));

    // None found is the host's Nothing, which the façade gives as an empty list.
    EXPECT_TRUE(bars->FindControls({.Id = std::nullopt, .Tag = "NONE"}).empty());
    EXPECT_EQ(bars->FindControls({.Id = 109, .Tag = std::nullopt}).size(), 2u);

    const auto toolbar = bars->Add("Tools", host::msoBarFloating, false, true);
    const auto copy = found->Copy(toolbar);
    EXPECT_EQ(copy->Tag(), "BUTTON");
    toolbar->SetProtection(host::msoBarNoCustomize);
    toolbar->SetRowIndex(-1);
    toolbar->SetLeft(40);
    toolbar->SetTop(50);
    toolbar->SetVisible(false);
    const auto again = bars->FindBar("TOOLS");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->Position(), host::msoBarFloating);
    EXPECT_EQ(again->Protection(), host::msoBarNoCustomize);
    EXPECT_EQ(again->RowIndex(), -1);
    EXPECT_EQ(again->Left(), 40);
    EXPECT_EQ(again->Top(), 50);
    EXPECT_FALSE(again->Visible());
    EXPECT_EQ(again->Controls().size(), 1u);
    EXPECT_EQ(bars->FindBar("Nothing"), nullptr);

    again->Delete();
    EXPECT_EQ(bars->FindBar("Tools"), nullptr);
    before->Delete();
    EXPECT_EQ(menu->CommandBar()->Controls().size(), 1u);
}

TEST_F(BarsRoundTrip, RefusalsKeepTheModelsNumbers) {
    const auto toolbar = bars->Add("Tools", host::msoBarFloating, false, true);
    const auto popup = toolbar->AddControl(host::msoControlPopup, std::nullopt, true);
    const auto button = toolbar->AddControl(host::msoControlButton, std::nullopt, true);
    struct Case {
        std::string what;
        std::function<void()> call;
        std::int32_t error;
    };
    const std::vector<Case> cases = {
        {"a second bar of a name", [&] { bars->Add("tools", host::msoBarTop, false, true); }, host::err::kInvalidCall},
        {"a position the host has not", [&] { toolbar->SetPosition(6); }, host::err::kInvalidCall},
        {"a place beyond the last", [&] { toolbar->AddControl(host::msoControlButton, 5, true); }, host::err::kInvalidCall},
        {"a popup's face", [&] { popup->FaceId(); }, host::err::kNoSuchMember},
        {"pasting without a picture", [&] { button->PasteFace(); }, host::err::kUnspecifiedFailure},
        {"a control that is gone",
         [&] {
             button->Delete();
             button->Caption();
         },
         host::err::kObjectDisconnected},
    };
    for (const Case& c : cases) EXPECT_EQ(errorOf(c.call), c.error) << c.what;
}

TEST_F(BarsRoundTrip, FacesCopyAndPasteThroughTheHostsClipboard) {
    const auto toolbar = bars->Add("Tools", host::msoBarFloating, false, true);
    const auto button = toolbar->AddControl(host::msoControlButton, std::nullopt, true);
    button->CopyFace();
    ASSERT_TRUE(faces->held);
    EXPECT_EQ(*faces->held, sim::blankFace());
    faces->held->pixels[0] = 0x123456;
    button->PasteFace();
    const auto model = std::dynamic_pointer_cast<sim::SimControl>(app->commandBars()->bar("Tools")->controls().front());
    EXPECT_EQ(model->face(), faces->held);
}

TEST_F(BarsRoundTrip, AClickReachesTheHandlerAndItsCancelDefaultComesBack) {
    const auto print = facade->FindControl(sim::kControlPrint);
    ASSERT_TRUE(print);
    ClickLog log;
    auto connection = print->AdviseClick(log);
    const auto model = app->control(sim::kControlPrint);

    struct Case {
        bool cancel;
        bool printed;
    };
    for (const Case c : {Case{false, true}, Case{true, false}}) {
        SCOPED_TRACE(c.cancel);
        log.seen.clear();
        log.cancel = c.cancel;
        const int before = app->printCount();
        const auto outcome = app->commandBars()->click(model);
        EXPECT_EQ(log.seen, std::vector<std::string>{"&Print..."});
        EXPECT_EQ(outcome.handlers, 1);
        EXPECT_EQ(outcome.cancelled, c.cancel);
        EXPECT_EQ(app->printCount() - before, c.printed ? 1 : 0);
    }

    // Once the connection ends, the handler hears nothing more.
    connection.reset();
    log.seen.clear();
    EXPECT_EQ(app->commandBars()->click(model).handlers, 0);
    EXPECT_TRUE(log.seen.empty());
}

TEST_F(BarsRoundTrip, AClickOnACopyReachesTheHandlerOfTheOriginal) {
    const auto toolbar = bars->Add("Tools", host::msoBarFloating, false, true);
    const auto original = toolbar->AddControl(host::msoControlButton, std::nullopt, true);
    original->SetTag("SHARED");
    original->SetCaption("Original");
    const auto copy = original->Copy(bars->Item(2));
    copy->SetCaption("Copy");
    ClickLog log;
    const auto connection = original->AdviseClick(log);
    const auto copies = app->commandBars()->FindControls({.Id = std::nullopt, .Tag = "SHARED"});
    for (const auto& control : copies) app->commandBars()->click(std::dynamic_pointer_cast<sim::SimControl>(control));
    EXPECT_EQ(log.seen, (std::vector<std::string>{"Copy", "Original"}));
}

}  // namespace
}  // namespace kq::simhost
