// The Qt widgets of the main window under the offscreen platform: layout,
// fonts, stacking, focus order, clicks reaching the logic, and the model
// mirrored back.

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "core/run_error.h"
#include "ui/main_window/main_window_view.h"
#include "ui/main_window/qt_message_boxes.h"
#include "ui/window_fixture.h"

namespace tanka::test {
namespace {

using enum ControlId;

struct ViewFixture : ::testing::Test {
    ViewFixture() : form(model, g, CN, FormServices{boxes, drive, clock}) {
        g.GijuMode = g.TenMode = g.HasuMode = g.HasuTani = -1;
        g.GijuDstSlot = g.TenDstSlot = -1;
        view = std::make_unique<MainWindowView>(form, boxes);
        view->onUnload = [this] { ++unloads; };
    }
    QWidget* w(ControlRef ref) { return view->widget(ref); }
    QAbstractButton* button(ControlRef ref) { return qobject_cast<QAbstractButton*>(w(ref)); }
    void click(ControlRef ref) { QTest::mouseClick(w(ref), Qt::LeftButton); }

    ScriptedBoxes boxes;
    DriveMap drive;
    FixedClock clock{QDate(2019, 9, 30)};
    Globals g;
    std::unique_ptr<Connection> CN;
    WindowModel model;
    MainForm form;
    std::unique_ptr<MainWindowView> view;
    int unloads = 0;
};

TEST_F(ViewFixture, WindowHasTheClientSizeAndTitle) {
    EXPECT_EQ(view->size(), QSize(792, 551));
    EXPECT_EQ(view->minimumSize(), view->maximumSize());
    EXPECT_EQ(view->windowTitle(), QStringLiteral("単価変更"));
    EXPECT_EQ(view->grab().size(), QSize(792, 551));
    EXPECT_EQ(view->palette().color(QPalette::Window), QColor(0, 128, 128));
}

TEST_F(ViewFixture, ControlsSitWhereTheLayoutPutsThem) {
    struct Spot {
        ControlRef ref;
        QRect pixels;
        const char* parent; // object name of the parent widget
    };
    const Spot spots[] = {
        {{SSCommand4}, {694, 316, 87, 181}, "frm_ZOLT"},
        {{Label5}, {104, 6, 681, 45}, "frm_ZOLT"},
        {{Check2, 2}, {542, 450, 17, 25}, "frm_ZOLT"},
        {{SSCommand1, 3}, {300, 230, 195, 45}, "frm_ZOLT"},
        {{SSPanel1}, {550, 58, 235, 219}, "frm_ZOLT"},
        {{SSCommand7}, {52, 174, 137, 35}, "SSPanel1"},
        {{SSCommand8}, {0, 0, 63, 35}, "SSPanel1"},
        {{Label15}, {12, 50, 215, 113}, "SSPanel1"},
        {{Label11, 0}, {16, 394, 217, 27}, "frm_ZOLT"},
    };
    for (const Spot& s : spots) {
        SCOPED_TRACE(layoutOf(s.ref).name);
        ASSERT_NE(w(s.ref), nullptr);
        EXPECT_EQ(w(s.ref)->geometry(), s.pixels);
        EXPECT_EQ(w(s.ref)->parentWidget()->objectName(), QString::fromUtf8(s.parent));
    }
    // Every control of the table has its widget, at twips / 15.
    for (const LayoutEntry& e : layoutTable()) {
        if (e.kind == ControlKind::Timer)
            continue;
        ASSERT_NE(w(e.ref), nullptr) << e.name;
        EXPECT_EQ(w(e.ref)->geometry().topLeft(), QPoint(e.rect.left / 15, e.rect.top / 15))
            << e.name;
    }
}

TEST_F(ViewFixture, FontsFollowTheLayout) {
    struct FontSpot {
        ControlRef ref;
        int pixels;
        bool bold, italic;
    };
    const FontSpot spots[] = {
        {{SSCommand4}, 24, false, false},   {{Label5}, 37, false, true},
        {{SSCommand3, 0}, 19, true, false}, {{SSCommand6, 2}, 16, true, false},
        {{Label1}, 16, true, false},        {{Command1}, 37, false, false},
    };
    for (const FontSpot& s : spots) {
        SCOPED_TRACE(layoutOf(s.ref).name);
        const QFont f = w(s.ref)->font();
        EXPECT_EQ(f.family(), QStringLiteral("ＭＳ ゴシック"));
        EXPECT_EQ(f.pixelSize(), s.pixels);
        EXPECT_EQ(f.bold(), s.bold);
        EXPECT_EQ(f.italic(), s.italic);
    }
    // The window font resolves to an installed Japanese gothic.
    EXPECT_TRUE(QFontInfo(w({SSCommand4})->font())
                    .family()
                    .contains(QStringLiteral("Gothic"), Qt::CaseInsensitive) ||
                QFontInfo(w({SSCommand4})->font()).family().contains(QStringLiteral("ゴシック")));
}

TEST_F(ViewFixture, ControlsListedFirstAreInFront) {
    model.Command1.visible = true;
    model.Label14.visible = true;
    view->sync();
    struct Front {
        QPoint point; // window pixels
        ControlRef expected;
    };
    const Front fronts[] = {
        {{75, 340}, {SSPanel6}},  // over Label9(0) and Label6
        {{60, 320}, {Label9, 0}}, // box over the working area
        {{10, 200}, {Label6}},    // working area over the window
        {{300, 200}, {Command1}}, // banner over the kind buttons
        {{440, 380}, {Label13}},  // rounding box
        {{600, 100}, {SSPanel1}}, // panel (design state: visible)
        {{100, 370}, {Label14}},  // in-use line over SSPanel6's box
    };
    for (const Front& f : fronts) {
        QWidget* hit = view->childAt(f.point);
        ASSERT_NE(hit, nullptr);
        EXPECT_EQ(hit->objectName(), w(f.expected)->objectName())
            << "at " << f.point.x() << "," << f.point.y();
    }
}

TEST_F(ViewFixture, FocusMovesInTheStatedOrder) {
    QStringList expected;
    for (const ControlRef ref : tabOrder())
        expected << w(ref)->objectName();
    QStringList chain;
    QWidget* x = w(tabOrder().front());
    for (int guard = 0; guard < 400 && chain.size() < expected.size(); ++guard) {
        if (expected.contains(x->objectName()) && !chain.contains(x->objectName()))
            chain << x->objectName();
        x = x->nextInFocusChain();
    }
    EXPECT_EQ(chain, expected);
    for (const LayoutEntry& e : layoutTable()) {
        if (e.kind == ControlKind::Label) {
            EXPECT_EQ(w(e.ref)->focusPolicy(), Qt::NoFocus) << e.name;
        }
    }
}

TEST_F(ViewFixture, ClicksRunTheHandlersAndTheModelIsMirrored) {
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    click({SSCommand1, 0});
    click({SSCommand3, 1});
    click({SSCommand6, 2});
    EXPECT_EQ(g.GijuMode, 1);
    EXPECT_EQ(g.HasuMode, 1);
    EXPECT_EQ(g.HasuTani, 2);
    EXPECT_TRUE(qobject_cast<QCheckBox*>(w({Check1, 0}))->isChecked());
    EXPECT_TRUE(qobject_cast<QCheckBox*>(w({Check2, 2}))->isChecked());
    EXPECT_TRUE(w({SSCommand4})->isEnabled());
    EXPECT_TRUE(w({SSCommand1, 0})->styleSheet().contains(QStringLiteral("rgb(156, 207, 255)")));
    EXPECT_TRUE(w({SSCommand1, 1})->styleSheet().contains(QStringLiteral("rgb(206, 255, 206)")));

    // A click on a checked box: the box unchecks itself, the forwarded
    // click checks it again.
    click({Check3, 1});
    EXPECT_EQ(g.HasuMode, 1);
    EXPECT_TRUE(qobject_cast<QCheckBox*>(w({Check3, 1}))->isChecked());
    click({Check1, 0});
    EXPECT_EQ(g.GijuMode, -1);
    EXPECT_FALSE(qobject_cast<QCheckBox*>(w({Check1, 0}))->isChecked());
    EXPECT_FALSE(w({SSCommand4})->isEnabled());

    click({SSCommand2, 1});
    EXPECT_EQ(g.TenDstSlot, 1);
    EXPECT_EQ(button({SSCommand2, 1})->text(), QStringLiteral("店販単価Ｂ"));
}

TEST_F(ViewFixture, DisabledOrHiddenControlsTakeNoClicks) {
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    model.SSCommand1[0].enabled = false;
    model.Check1[0].enabled = false;
    view->sync();
    click({SSCommand1, 0});
    click({Check1, 0});
    EXPECT_EQ(g.GijuMode, -1);
    EXPECT_FALSE(w({SSCommand1, 0})->isEnabled());

    model.enabled = false;
    view->sync();
    click({SSCommand3, 0});
    EXPECT_EQ(g.HasuMode, -1);
}

TEST_F(ViewFixture, TimerBlinksTheWarningLineWhileEnabled) {
    view->show();
    EXPECT_FALSE(view->timerActive());
    model.Timer1.enabled = true;
    model.Label4.caption.clear();
    view->sync();
    EXPECT_TRUE(view->timerActive());
    auto* label = qobject_cast<QLabel*>(w({Label4}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !label->text().isEmpty(); }, 5000));
    EXPECT_EQ(label->text(), QString::fromUtf8(WarningText));
    model.Timer1.enabled = false;
    view->sync();
    EXPECT_FALSE(view->timerActive());
}

TEST_F(ViewFixture, ExitClosesAndUnloadsOnce) {
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    click({SSCommand5});
    EXPECT_TRUE(view->unloaded());
    EXPECT_FALSE(view->isVisible());
    view->close();
    EXPECT_EQ(unloads, 1);
}

TEST_F(ViewFixture, AnErrorInAHandlerIsShownAndEndsTheProgram) {
    form.onCommand2Click = [] { throw RunError(208, "Invalid object name 'MSHONB.dbo.MHSCTB'."); };
    model.Command2.visible = true;
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    click({Command2});
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Critical);
    EXPECT_EQ(boxes.shown[0].text,
              QStringLiteral("エラーが発生しました。終了します。\r\nエラー番号: 208\r\n"
                             "Invalid object name 'MSHONB.dbo.MHSCTB'."));
    EXPECT_TRUE(view->unloaded());
    EXPECT_EQ(unloads, 1);
}

// A close requested while a handler runs (through its processing of events)
// waits for the handler: the connection must not vanish under it.
TEST_F(ViewFixture, CloseDuringAHandlerWaitsForIt) {
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    bool unloadedInside = true;
    form.onSSCommand8Click = [&] {
        view->close();
        form.Check_Job(); // lets events run
        unloadedInside = view->unloaded();
    };
    click({SSCommand8});
    EXPECT_FALSE(unloadedInside);
    EXPECT_TRUE(view->unloaded());
    EXPECT_EQ(unloads, 1);
}

struct BoxCase {
    const char* name;
    MsgButtons buttons;
    const char* title;
    const char* press; // a button text, or "" for the Enter key
    MsgAnswer answer;
    const char* shownTitle;
    const char* buttonTexts; // in the order added, blank-separated
};

// The real boxes: Japanese buttons, the program's title unless one is given,
// はい as the default of a question.
TEST(QtMessageBoxesTest, TitlesButtonsAndAnswers) {
    const BoxCase cases[] = {
        {"Yes", MsgButtons::YesNo, "", "はい", MsgAnswer::Yes, "単価変更", "はい いいえ"},
        {"No", MsgButtons::YesNo, "", "いいえ", MsgAnswer::No, "単価変更", "はい いいえ"},
        {"EnterMeansYes", MsgButtons::YesNo, "", "", MsgAnswer::Yes, "単価変更", "はい いいえ"},
        {"OkWithOwnTitle", MsgButtons::Ok, "Common", "OK", MsgAnswer::Ok, "Common", "OK"},
    };
    for (const BoxCase& c : cases) {
        SCOPED_TRACE(c.name);
        QString seenTitle, seenText, seenButtons;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            poll.stop();
            seenTitle = box->windowTitle();
            seenText = box->text();
            QStringList texts;
            for (QAbstractButton* b : box->buttons())
                texts << b->text();
            seenButtons = texts.join(QLatin1Char(' '));
            if (*c.press == 0) {
                QTest::keyClick(box, Qt::Key_Return);
                return;
            }
            for (QAbstractButton* b : box->buttons())
                if (b->text() == QString::fromUtf8(c.press))
                    b->click();
        });
        poll.start();
        QtMessageBoxes boxes;
        const MsgAnswer answer = boxes.show(QStringLiteral("一行目\r\n二行目"), c.buttons,
                                            MsgIcon::Question, QString::fromUtf8(c.title));
        EXPECT_EQ(answer, c.answer);
        EXPECT_EQ(seenTitle, QString::fromUtf8(c.shownTitle));
        EXPECT_EQ(seenText, QStringLiteral("一行目\n二行目"));
        EXPECT_EQ(seenButtons, QString::fromUtf8(c.buttonTexts));
    }
}

} // namespace
} // namespace tanka::test
