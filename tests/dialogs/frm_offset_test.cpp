#include "app/frm_offset.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <memory>

#include "tests/dialogs/dialog_test_support.h"

namespace bivane {
namespace {

class FrmOffsetTest : public ::testing::Test, protected test::DialogSurroundings {
  protected:
    std::unique_ptr<Frm_Offset> openDialog(char decimalSeparator = '.') {
        auto dialog = std::make_unique<Frm_Offset>(&owner, state, text, prompts, decimalSeparator);
        test::ShowActive(*dialog);
        return dialog;
    }

    // Types `texts` into txtX(0), txtY(0), txtX(1), txtY(1).
    static void enter(const Frm_Offset& dialog, const std::array<const char*, 4>& texts) {
        dialog.txtX(0)->setText(QLatin1String(texts[0]));
        dialog.txtY(0)->setText(QLatin1String(texts[1]));
        dialog.txtX(1)->setText(QLatin1String(texts[2]));
        dialog.txtY(1)->setText(QLatin1String(texts[3]));
    }
};

TEST_F(FrmOffsetTest, StandsAsDesignedWithTheFocusInGps1sYBox) {
    const auto dialog = openDialog();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Bivane Antenna Offset"));
    const std::vector<test::DesignedPlace> designed = {
        {"Label1(5)", "Frm_Offset", {120, 0, 3840, 195}},
        {"Label1(6)", "Frm_Offset", {120, 240, 3750, 195}},
        {"Frame1(0)", "Frm_Offset", {360, 600, 1695, 1095}},
        {"Frame1(1)", "Frm_Offset", {2040, 600, 1695, 1095}},
        {"Label1(1)", "Frame1(0)", {240, 360, 240, 195}},
        {"txtY(0)", "Frame1(0)", {480, 360, 975, 240}},
        {"Label1(3)", "Frame1(1)", {240, 600, 240, 195}},
        {"txtX(1)", "Frame1(1)", {480, 600, 975, 240}},
        {"Label1(0)", "Frm_Offset", {600, 1800, 2850, 195}},
        {"cmdOK", "Frm_Offset", {960, 2160, 1215, 495}},
        {"cmdCancel", "Frm_Offset", {2280, 2160, 1215, 495}},
    };
    test::ExpectDesignedPlaces(*dialog, designed);
    EXPECT_EQ(test::LayoutFaults(*dialog), QStringList());
    EXPECT_EQ(test::Child(*dialog, "Label1(0)")->property("text"),
              QStringLiteral("Y : positive ahead  X : positive starboard"));

    // Tab goes Y and X of GPS 1, Y and X of GPS 2, Cancel, OK.
    const QWidget* order[] = {dialog->txtY(0), dialog->txtX(0),     dialog->txtY(1),
                              dialog->txtX(1), dialog->cmdCancel(), dialog->cmdOK(),
                              dialog->txtY(0)};
    for (const QWidget* expected : order) {
        EXPECT_EQ(QApplication::focusWidget(), expected)
            << qPrintable(QApplication::focusWidget()->objectName());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
}

TEST_F(FrmOffsetTest, ShowsTheOffsetsInMetresWithTheUsersSeparator) {
    state.OffsetX = {1.5, -0.004};
    state.OffsetY = {0, 123.456};
    for (const char separator : {'.', ','}) {
        const auto dialog = openDialog(separator);
        const auto shown = [separator](const char* metres) {
            return QString::fromLatin1(metres).replace(QLatin1Char('.'), QLatin1Char(separator));
        };
        EXPECT_EQ(dialog->txtX(0)->text(), shown("1.50 m"));
        EXPECT_EQ(dialog->txtY(0)->text(), shown("0.00 m"));
        EXPECT_EQ(dialog->txtX(1)->text(), shown("0.00 m"));
        EXPECT_EQ(dialog->txtY(1)->text(), shown("123.46 m"));
    }
}

TEST_F(FrmOffsetTest, OkReadsTheBoxesStoresThemAndRecomputesTheBaseline) {
    const auto dialog = openDialog(',');
    enter(*dialog, {"2,5 m", "2.5", "abc", ""});
    dialog->cmdOK()->click();

    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(state.OffsetX, (std::array<double, 2>{2.5, 0}));
    EXPECT_EQ(state.OffsetY, (std::array<double, 2>{2.5, 0}));
    // GPS 2 stands 3.54 m astern and to port of GPS 1, bearing 225 degrees
    // from the bow: the correction is 135 degrees.
    EXPECT_NEAR(state.CalculatedBaseline, 3.5355, 1e-4);
    EXPECT_NEAR(state.HeadingCorrection, 2.35619, 1e-5);
    EXPECT_EQ(text.lblCalculated.text, "3,54 m");
}

TEST_F(FrmOffsetTest, ABoxLeftAsItWasShownKeepsItsOffsetExactly) {
    state.OffsetX = {0.004, 2.5};
    state.OffsetY = {-1.2345, 0};
    const auto dialog = openDialog(',');
    EXPECT_EQ(dialog->txtX(0)->text(), QStringLiteral("0,00 m"));
    dialog->txtY(1)->setText(QStringLiteral("0,004"));
    // Changed and changed back: it shows what it showed, so it keeps the offset.
    dialog->txtY(0)->setText(QStringLiteral("1"));
    dialog->txtY(0)->setText(QStringLiteral("-1,23 m"));
    dialog->cmdOK()->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(state.OffsetX, (std::array<double, 2>{0.004, 2.5}));
    EXPECT_EQ(state.OffsetY, (std::array<double, 2>{-1.2345, 0.004}));
}

TEST_F(FrmOffsetTest, OffsetsTooLargeToComputeWithAreRefusedAndNothingIsStored) {
    struct Row {
        const char* legend;
        std::array<const char*, 4> texts;  // X1, Y1, X2, Y2
        const char* named;                 // in the message
    } const rows[] = {
        {"beyond double", {"1", "2", "1e400", "3"}, "\"1e400\" (GPS 2 (forward), X)"},
        {"its square beyond double", {"1", "-2e154", "1", "3"}, "\"-2e154\" (GPS 1 (aft), Y)"},
        {"their distance beyond double", {"-1e154", "0", "1e154", "0"}, "baseline overflows"},
    };
    state.OffsetX = {0, 0};
    state.OffsetY = {0, 3};
    state.CalculatedBaseline = 3;
    text.lblCalculated.text = "3.00 m";
    for (const Row& row : rows) {
        prompts.messages.clear();
        const auto dialog = openDialog();
        enter(*dialog, row.texts);
        dialog->cmdOK()->click();

        ASSERT_EQ(prompts.messages.size(), 1u) << row.legend;
        EXPECT_EQ(prompts.messages[0].title, QStringLiteral("NMEA Bivane"));
        EXPECT_TRUE(prompts.messages[0].text.contains(QLatin1String(row.named)))
            << qPrintable(prompts.messages[0].text);
        EXPECT_TRUE(dialog->isVisible()) << row.legend;
        EXPECT_EQ(state.OffsetX, (std::array<double, 2>{0, 0})) << row.legend;
        EXPECT_EQ(state.OffsetY, (std::array<double, 2>{0, 3})) << row.legend;
        EXPECT_EQ(state.CalculatedBaseline, 3) << row.legend;
        EXPECT_EQ(text.lblCalculated.text, "3.00 m") << row.legend;
    }
}

TEST_F(FrmOffsetTest, EnterInABoxIsOkWhileEscCancelAndTheCloseBoxStoreNothing) {
    const auto dialog = openDialog();
    dialog->txtY(1)->setText(QStringLiteral("3"));
    QTest::keyClick(dialog->txtY(0), Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible()) << "there is no cancel key";
    dialog->cmdCancel()->click();
    EXPECT_FALSE(dialog->isVisible());
    const auto closed = openDialog();
    closed->txtY(1)->setText(QStringLiteral("3"));
    closed->close();
    EXPECT_EQ(state.OffsetY, (std::array<double, 2>{0, 0}));
    EXPECT_TRUE(text == MainWindowText());

    const auto entered = openDialog();
    entered->txtY(1)->setText(QStringLiteral("3"));
    QTest::keyClick(entered->txtY(1), Qt::Key_Return);
    EXPECT_FALSE(entered->isVisible());
    EXPECT_EQ(state.OffsetY, (std::array<double, 2>{0, 3}));
    EXPECT_EQ(state.CalculatedBaseline, 3);
    EXPECT_EQ(state.HeadingCorrection, 0);
    EXPECT_EQ(text.lblCalculated.text, "3.00 m");
}

TEST_F(FrmOffsetTest, ABoxThatGetsTheFocusHasItsWholeTextSelected) {
    state.OffsetX = {0, 12.25};
    const auto dialog = openDialog();
    QLineEdit* box = dialog->txtX(1);
    // By a click in the middle of the text, which by itself would only place
    // the cursor there.
    QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
    QTest::qWait(20);
    EXPECT_TRUE(box->hasFocus());
    EXPECT_EQ(box->selectedText(), QStringLiteral("12.25 m"));
    // By the program.
    dialog->txtY(0)->setFocus();
    QTest::qWait(20);
    EXPECT_EQ(dialog->txtY(0)->selectedText(), QStringLiteral("0.00 m"));
}

}  // namespace
}  // namespace bivane
