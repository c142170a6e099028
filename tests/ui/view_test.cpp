// The Qt widgets of the main window under the offscreen platform: stacking,
// errors in handlers and the real message boxes. (Clicks reaching the logic
// and the model mirrored back are the selector tests.)

#include <QMessageBox>
#include <QTest>

#include "core/run_error.h"
#include "support/gui_app.h"
#include "ui/main_window/qt_message_boxes.h"

namespace tanka::test {
namespace {

using enum ControlId;

struct ViewTest : ::testing::Test {
    void SetUp() override {
        ASSERT_EQ(a.load(), LoadResult::Loaded);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&a.view()));
    }
    QWidget* w(ControlRef ref) { return a.widget(ref); }
    void click(ControlRef ref) { QTest::mouseClick(w(ref), Qt::LeftButton); }

    AppOnSample a;
};

// The client area and a control of each kind where the window has always had
// them (1 px = 15 twips; the force button relative to its panel), and the
// texts over the kind buttons, each ending in the formula the program uses.
TEST_F(ViewTest, ControlsStandWhereTheyAlwaysHaveAndSayWhatTheyDo) {
    EXPECT_EQ(a.view().size(), QSize(792, 551));
    EXPECT_EQ(w({previewButton})->geometry(), QRect(694, 502, 87, 35));
    EXPECT_EQ(w({storeButton})->geometry(), QRect(532, 502, 157, 35));
    EXPECT_EQ(w({forceButton})->geometry(), QRect(52, 174, 137, 35));
    EXPECT_EQ(w({introText})->geometry(), QRect(12, 58, 765, 35));
    const WindowModel& m = a.model();
    EXPECT_EQ(m.introText.caption,
              QStringLiteral("※技術及び店販メニューの現行単価を変更します。\r\n"
                             "　下記１・２のいずれかを選択して下さい。"));
    EXPECT_EQ(m.kind1Text.caption,
              QStringLiteral("１．内税の８％単価を１０％単価に変更。\r\n"
                             "　　計算式：（（現行単価－（現行単価×８÷１０８））×１．１０）"));
    EXPECT_EQ(m.kind2Text.caption,
              QStringLiteral("２．内税の８％単価を外税（税抜き）単価に変更。\r\n"
                             "　　計算式：（現行単価－（現行単価×８÷１０８））"));
    EXPECT_TRUE(m.warningLabel.caption.isEmpty());
}

// The one check of the window's layout: which control is in front where they
// overlap, and the force button on its panel, so that the panel hides it.
TEST_F(ViewTest, ControlsListedFirstAreInFront) {
    a.model().busyBanner.visible = true;
    a.model().technicalInUseLabel.visible = true;
    a.model().forcePanel.visible = true;
    a.view().sync();
    struct Front {
        QPoint point; // window pixels
        ControlRef expected;
    };
    const Front fronts[] = {
        {{75, 340}, {technicalSourceLabel}}, // over slotBoxes(0) and workArea
        {{300, 200}, {busyBanner}},          // banner over the kind buttons
        {{600, 100}, {forcePanel}},          // panel over the working area
        {{100, 370}, {technicalInUseLabel}}, // in-use line over technicalSourceLabel's box
    };
    for (const Front& f : fronts) {
        QWidget* hit = a.view().childAt(f.point);
        ASSERT_NE(hit, nullptr);
        EXPECT_EQ(hit->objectName(), w(f.expected)->objectName())
            << "at " << f.point.x() << "," << f.point.y();
    }
    EXPECT_EQ(w({forceButton})->parentWidget(), w({forcePanel}));
}

// A close requested while a handler runs (through its processing of events)
// waits for the handler, so the connection stays; an error the handler
// raises is shown and ends the program.
TEST_F(ViewTest, CloseWaitsForTheHandlerAndAnErrorEndsTheProgram) {
    bool connectedInside = false;
    a.form().cancelForceHandler = [&] {
        a.view().close();
        a.form().updateExecuteEnabled(); // lets events run
        connectedInside = !a.view().unloaded() && a.app->connection() != nullptr;
        throw RunError(208, "Invalid object name 'MSHONB.dbo.MHSCTB'.");
    };
    a.model().forcePanel.visible = true;
    a.view().sync();
    click({cancelForceButton});
    EXPECT_TRUE(connectedInside);
    ASSERT_EQ(a.boxes.shown.size(), 1u);
    EXPECT_EQ(a.boxes.shown[0].icon, MsgIcon::Critical);
    EXPECT_EQ(a.boxes.shown[0].text,
              QStringLiteral("エラーが発生しました。終了します。\r\nエラー番号: 208\r\n"
                             "Invalid object name 'MSHONB.dbo.MHSCTB'."));
    EXPECT_TRUE(a.view().unloaded());
    EXPECT_EQ(a.app->connection(), nullptr);
}

// The real boxes: Japanese buttons, the program's title unless one is given,
// はい as the default of a question.
TEST(QtMessageBoxesTest, TitlesButtonsAndAnswers) {
    const struct {
        MsgButtons buttons;
        const char* title;
        const char* press; // a button text, or "" for the Enter key
        MsgAnswer answer;
        const char* seen; // title | text | buttons in the order added
    } cases[] = {
        {MsgButtons::YesNo, "", "いいえ", MsgAnswer::No, "単価変更|一行目\n二行目|はい いいえ"},
        {MsgButtons::YesNo, "", "", MsgAnswer::Yes, "単価変更|一行目\n二行目|はい いいえ"},
        {MsgButtons::Ok, "Common", "OK", MsgAnswer::Ok, "Common|一行目\n二行目|OK"},
    };
    for (const auto& c : cases) {
        QString seen;
        whenModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            QStringList texts;
            for (QAbstractButton* b : box->buttons())
                texts << b->text();
            seen = box->windowTitle() + u'|' + box->text() + u'|' + texts.join(u' ');
            if (*c.press == 0)
                QTest::keyClick(box, Qt::Key_Return);
            for (QAbstractButton* b : box->buttons())
                if (b->text() == QString::fromUtf8(c.press))
                    return b->click();
        });
        QtMessageBoxes boxes;
        EXPECT_EQ(boxes.show(QStringLiteral("一行目\r\n二行目"), c.buttons, MsgIcon::Question,
                             QString::fromUtf8(c.title)),
                  c.answer);
        EXPECT_EQ(seen, QString::fromUtf8(c.seen));
    }
}

} // namespace
} // namespace tanka::test
