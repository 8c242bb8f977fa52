#include <gtest/gtest.h>

#include <QAbstractEventDispatcher>

#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStyleOptionGroupBox>
#include <climits>

#include "app/twips.h"
#include "nmea/hdt.h"
#include "tests/app/window_harness.h"

namespace bivane {
namespace {

using test::WindowHarness;

class WindowLayout : public ::testing::Test {
  protected:
    int pixels(double twips) {
        return TwipsToPixels(twips, harness.window().screen()->logicalDotsPerInch());
    }
    QPoint pixels(int left, int top) { return {pixels(left), pixels(top)}; }

    WindowHarness harness;
};

TEST_F(WindowLayout, LabelsStandWhereTheLayoutPutsThemWithTheirInitialTexts) {
    Frm_Bivane& window = harness.start();
    struct Row {
        const char* name;
        int index;
        const char* container;  // object name of the frame, "client" for the window
        int left;
        int top;
        const char* text;
        double points;
        bool bold;
        bool italic;
        bool underline;
    };
    const Row rows[] = {
        {"Label1", -1, "client", 120, 240, "HEADING :", 18, true, false, false},
        {"lblHeading", -1, "client", 2400, 240, "000.0", 24, true, false, false},
        {"lblOld", -1, "client", 2640, 720, "OLD", 18, true, false, false},
        {"Label2", 5, "frmBaseline", 120, 240, "Calculated :", 8.25, false, false, false},
        {"lblCalculated", -1, "frmBaseline", 1080, 240, "0.0 m", 8.25, false, false, false},
        {"lblBaseline", -1, "frmBaseline", 1080, 480, "0.0 m", 9.75, true, false, false},
        {"Label2", 6, "frmBaseline", 600, 720, "C-O : ", 8.25, false, false, false},
        {"lblCorrespond", -1, "frmBaseline", 1320, 960, "0.0 \u00B0", 8.25, false, false, false},
        {"Label2", 8, "frmBaseline", 840, 1200, "( if across )", 8.25, false, false, false},
        {"lblLabel", 15, "frmGPS(1)", 120, 240, "Lat :", 8.25, false, false, false},
        {"lblLabel", 8, "frmGPS(1)", 120, 1920, "Age :", 8.25, false, false, false},
        {"lblLabel", 23, "frmGPS(2)", 120, 240, "Lat :", 8.25, false, false, false},
        {"lblLabel", 18, "frmGPS(2)", 120, 1440, "Quality :", 8.25, false, false, false},
        {"lblLabel", 0, "frmGPS(0)", 120, 240, "dLat :", 8.25, false, false, false},
        {"lblLabel", 3, "frmGPS(0)", 120, 960, "dSvs", 8.25, false, false, false},
        {"lblLabel", 7, "frmGPS(0)", 120, 1920, "dAge :", 8.25, false, false, false},
        {"lblLat", 1, "frmGPS(1)", 480, 240, "lblLat", 8.25, false, false, false},
        {"lblSvs", 2, "frmGPS(2)", 720, 960, "lblSvs", 8.25, false, false, false},
        {"lblLat", 0, "frmGPS(0)", 600, 240, "lblLat", 8.25, false, false, false},
        {"lblLat", 3, "frmGPS(0)", 2040, 240, "lblLat", 8.25, false, false, false},
        {"lblLon", 3, "frmGPS(0)", 2040, 480, "lblLon", 8.25, false, false, false},
        {"lblHgt", 0, "frmGPS(0)", 1080, 720, "lblHgt", 8.25, false, false, false},
        {"lblStnID", 1, "frmGPS(1)", 720, 1680, "lbStnID", 8.25, false, false, false},
        {"lblUTC", 1, "frmGPS(1)", 240, 2280, "lblUTC", 9.75, true, false, false},
        {"lblUTC", 0, "frmGPS(0)", 1080, 2280, "lblUTC", 9.75, true, false, false},
        {"lblGGA", 2, "client", 720, 4440, "NMEA Input GPS 2 - GGA message", 8.25, false, false,
         false},
        {"lblHDT", -1, "client", 1320, 4680, "NMEA Output - HDT message", 8.25, false, false,
         false},
        {"lblError", -1, "client", 1320, 5040, "No error messages  ", 8.25, false, false, false},
        {"Label3", 1, "client", 2880, 5760, "e-mail:", 8.25, false, true, false},
        {"lblSendMail", -1, "client", 3480, 5760, "info@bivane.example", 8.25, false, false, true},
    };
    for (const Row& row : rows) {
        const std::string key = LabelKey(row.name, row.index);
        const QLabel* label = window.label(row.name, row.index);
        ASSERT_NE(label, nullptr) << key;
        EXPECT_EQ(label->parentWidget()->objectName(), QLatin1String(row.container)) << key;
        EXPECT_EQ(label->pos(), pixels(row.left, row.top)) << key;
        EXPECT_EQ(label->text(), QString::fromUtf8(row.text)) << key;
        EXPECT_DOUBLE_EQ(label->font().pointSizeF(), row.points) << key;
        EXPECT_EQ(label->font().bold(), row.bold) << key;
        EXPECT_EQ(label->font().italic(), row.italic) << key;
        EXPECT_EQ(label->font().underline(), row.underline) << key;
        EXPECT_EQ(label->size(), label->sizeHint()) << key << " sizes itself to its text";
    }
    EXPECT_EQ(window.label("lblOld")->palette().color(QPalette::WindowText), QColor(192, 0, 0));
    EXPECT_EQ(window.label("lblSendMail")->palette().color(QPalette::WindowText),
              QColor(0, 0, 255));
    EXPECT_FALSE(window.label("lblOld")->isVisibleTo(&window));

    // One label for every label of the text model, and no other.
    int modelLabels = 0;
    window.windowText().forEachLabel([&](std::string_view name, int index, const LabelText& text) {
        ++modelLabels;
        const QLabel* label = window.label(name, index);
        ASSERT_NE(label, nullptr) << LabelKey(name, index);
        EXPECT_EQ(label->text().toStdString(), text.text) << LabelKey(name, index);
    });
    EXPECT_EQ(window.centralWidget()->findChildren<QLabel*>().size(), modelLabels);
}

TEST_F(WindowLayout, FramesButtonAndMenus) {
    Frm_Bivane& window = harness.start();
    struct FrameRow {
        const char* name;
        int index;
        const char* caption;
        int left, top, width, height;
    };
    const FrameRow frames[] = {
        {"frmBaseline", -1, "Dist between antennas", 4080, 0, 2175, 1455},
        {"frmGPS", 1, "GPS 1(aft)", 120, 1440, 1815, 2655},
        {"frmGPS", 2, "GPS 2 (forward)", 1920, 1440, 1815, 2655},
        {"frmGPS", 0, "GPS2 - GPS1", 3720, 1440, 2535, 2655},
    };
    for (const FrameRow& row : frames) {
        const QGroupBox* frame = window.frame(row.name, row.index);
        ASSERT_NE(frame, nullptr) << row.caption;
        EXPECT_EQ(frame->title(), QLatin1String(row.caption));
        EXPECT_EQ(frame->geometry(),
                  QRect(pixels(row.left, row.top), QSize(pixels(row.width), pixels(row.height))))
            << row.caption;
    }
    EXPECT_EQ(window.cmdLog()->text(), QStringLiteral("Start Logging"));
    EXPECT_EQ(window.cmdLog()->geometry(),
              QRect(pixels(5160, 5400), QSize(pixels(1095), pixels(495))));

    QStringList menus;
    for (const QAction* menu : window.menuBar()->actions()) {
        QStringList items;
        for (const QAction* item : menu->menu()->actions()) {
            items << item->objectName() + QLatin1Char('=') + item->text();
        }
        menus << menu->menu()->objectName() + QLatin1Char('=') + menu->text() + QLatin1Char('[') +
                     items.join(QLatin1Char(',')) + QLatin1Char(']');
    }
    EXPECT_EQ(menus.join(QLatin1Char(' ')),
              QStringLiteral("mnuFile=File[mnuFileRecord=Record Input…,mnuFileExit=E&xit] "
                             "mnuSetup=Setup[mnuSetupComm=Comm,mnuSetupOffset=Antenna Offsets,"
                             "mnuTimeDifference=Time Difference,mnuSetupOutput=Heading Sentences,"
                             "mnuSetupNetwork=Network Output] "
                             "mnuAbout0=About[mnuAbout=About]"));
}

TEST_F(WindowLayout, TitleAndFixedOuterSize) {
    Frm_Bivane& window = harness.start();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("  NMEA Bivane - Version : 1.05 (2007)"));
    EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    window.show();
    const QSize outer(pixels(6580), pixels(6860));
    EXPECT_EQ(window.frameGeometry().size(), outer);
    window.resize(200, 900);
    EXPECT_EQ(window.frameGeometry().size(), outer);
    // The lowest row of the design stays inside the client area.
    EXPECT_GE(window.centralWidget()->height(), pixels(5760 + 195));
}

// ---- Nothing cut off or overlapping -----------------------------------------

struct Ink {
    std::string what;
    QRect rect;          // in window coordinates
    QWidget* container;  // what clips it; none for a frame's caption
};

QRect inWindow(const QWidget& widget, const QRect& rect, const QWidget& window) {
    return rect.translated(widget.mapTo(&window, QPoint(0, 0)));
}

// Where the window puts paint: the label texts' glyphs, the frame captions
// and the logging button.
std::vector<Ink> inkOf(Frm_Bivane& window) {
    std::vector<Ink> inks;
    window.windowText().forEachLabel([&](std::string_view name, int index, const LabelText&) {
        QLabel* label = window.label(name, index);
        if (!label->isVisibleTo(&window) || label->text().isEmpty()) {
            return;
        }
        const QFontMetrics metrics(label->font());
        const QRect glyphs =
            metrics.tightBoundingRect(label->text()).translated(0, metrics.ascent());
        inks.push_back(
            {LabelKey(name, index), inWindow(*label, glyphs, window), label->parentWidget()});
    });
    for (QGroupBox* frame : window.centralWidget()->findChildren<QGroupBox*>()) {
        QStyleOptionGroupBox option;
        option.initFrom(frame);
        option.text = frame->title();
        option.subControls = QStyle::SC_GroupBoxLabel;
        const QRect caption = frame->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                             QStyle::SC_GroupBoxLabel, frame);
        inks.push_back({frame->objectName().toStdString() + " caption",
                        inWindow(*frame, caption, window), nullptr});
    }
    inks.push_back({"cmdLog", inWindow(*window.cmdLog(), window.cmdLog()->rect(), window),
                    window.centralWidget()});
    return inks;
}

void expectNothingCutOffOrOverlapping(Frm_Bivane& window, const char* state) {
    if (const QByteArray folder = qgetenv("BIVANE_SCREENSHOT_DIR"); !folder.isEmpty()) {
        window.grab().save(QString::fromLocal8Bit(folder) + QLatin1Char('/') +
                           QString::fromLatin1(state).replace(QLatin1Char(' '), QLatin1Char('-')) +
                           QStringLiteral(".png"));
    }
    const std::vector<Ink> inks = inkOf(window);
    for (std::size_t i = 0; i < inks.size(); ++i) {
        if (inks[i].container != nullptr) {
            QRect box = inWindow(*inks[i].container, inks[i].container->rect(), window)
                            .adjusted(1, 1, -1, -1);  // inside a frame's border line
            if (inks[i].what.starts_with("lblGGA")) {
                box.setRight(INT_MAX);  // a long sentence runs on past the window's edge
            }
            EXPECT_TRUE(box.contains(inks[i].rect))
                << state << ": " << inks[i].what << " is cut off by its container";
        }
        for (std::size_t j = i + 1; j < inks.size(); ++j) {
            // At least one clear pixel between two texts side by side.
            EXPECT_FALSE(inks[i].rect.adjusted(-1, 0, 1, 0).intersects(inks[j].rect))
                << state << ": " << inks[i].what << " overlaps " << inks[j].what;
        }
    }
}

std::string withChecksum(const std::string& sentence) {
    return sentence + "*" + NmeaChecksum(sentence + "*") + "\r\n";
}

TEST_F(WindowLayout, NothingIsCutOffOrOverlapsAtInitialAndTypicalTexts) {
    Frm_Bivane& window = harness.start();
    window.show();
    expectNothingCutOffOrOverlapping(window, "initial texts");

    // Two differential receivers a few metres apart, one satellite and the
    // age apart: every label of the panels filled, some of them red.
    harness.port(1).receive(
        withChecksum("$GPGGA,123519.00,4807.0380,N,01131.0000,E,2,08,0.9,545.4,M,46.9,M,2.0,0031"));
    harness.port(2).receive(
        withChecksum("$GPGGA,123519.00,4807.0400,N,01131.0030,E,2,09,1.1,546.9,M,46.9,M,8.0,0031"));
    harness.settle();
    ASSERT_NE(window.windowText().lblHDT.text, "NMEA Output - HDT message");
    expectNothingCutOffOrOverlapping(window, "differential fixes");

    harness.state().CalculatedBaseline = 5;  // so that C-O and its angle show too
    harness.receivePair(20);
    expectNothingCutOffOrOverlapping(window, "a computed heading");

    // The receivers out of step: "OLD" under the heading; a port lost.
    harness.receivePair(21, 50);
    window.engine().portLost(2);
    harness.settle();
    ASSERT_TRUE(window.label("lblOld")->isVisibleTo(&window));
    ASSERT_NE(window.windowText().lblError.text, "No error messages  ");
    expectNothingCutOffOrOverlapping(window, "stale fixes and a lost port");
}

TEST_F(WindowLayout, AReceivedSentenceShowsOnOneLine) {
    Frm_Bivane& window = harness.start();
    const auto [gps1, gps2] = WindowHarness::FixPair(19);
    harness.port(1).receive(gps1);
    harness.settle();
    EXPECT_EQ(window.windowText().lblGGA[1].text, gps1);  // the model keeps CR LF
    const QLabel* label = window.label("lblGGA", 1);
    EXPECT_EQ(label->text().toStdString() + "\r\n", gps1);
    EXPECT_EQ(label->height(), QFontMetrics(label->font()).height());
}

TEST_F(WindowLayout, LabelsFollowWhenTheEventLoopIsAboutToWaitAndNotBefore) {
    harness.writeFile(QStringLiteral("Bivane.ini"),
                      "1,\"4800,n,8,1\"\r\n2,\"4800,n,8,1\"\r\n3,\"4800,n,8,1\"\r\n0,0\r\n0,0\r\n"
                      "#TRUE#\r\n");
    Frm_Bivane& window = harness.start();
    const auto [gps1, gps2] = WindowHarness::FixPair(19);
    const auto aboutToWait = [] { Q_EMIT QAbstractEventDispatcher::instance()->aboutToBlock(); };
    harness.receivePair(18);
    harness.port(3).clearWritten();
    // GPS 1's next fix alone: the labels wait a moment for its partner.
    harness.port(1).receive(gps1);
    aboutToWait();
    EXPECT_TRUE(window.textPending());
    EXPECT_EQ(window.label("lblUTC", 1)->text(), QStringLiteral("12:35:18.00"));
    // The partner: the heading is out before any label changes, and the
    // labels follow when the loop is about to wait.
    harness.port(2).receive(gps2);
    EXPECT_EQ(harness.port(3).written().substr(0, 7), "$GPHDT,");
    EXPECT_EQ(window.label("lblGGA", 2)->text().toStdString() + "\r\n",
              WindowHarness::FixPair(18).second);
    aboutToWait();
    EXPECT_FALSE(window.textPending());
    EXPECT_EQ(window.label("lblHDT")->text().toStdString() + "\r\n", harness.port(3).written());
    EXPECT_EQ(window.label("lblGGA", 1)->text().toStdString() + "\r\n", gps1);

    // A fix whose partner never comes shows a moment later all the same.
    const std::string lonely = WindowHarness::FixPair(20).first;
    harness.port(1).receive(lonely);
    harness.settle();
    EXPECT_EQ(window.label("lblGGA", 1)->text().toStdString() + "\r\n", lonely);
}

}  // namespace
}  // namespace bivane
