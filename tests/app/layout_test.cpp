// Every control of the window and of each dialog shows whole: it lies inside
// the widget it stands in, its text fits it, and it overlaps no sibling.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>

#include "app/frm_about.h"
#include "app/frm_network.h"
#include "app/frm_offset.h"
#include "app/frm_output.h"
#include "app/frm_setup.h"
#include "nmea/hdt.h"
#include "tests/support/window_harness.h"

namespace bivane::test {
namespace {

QString describe(const QWidget& widget) {
    return widget.objectName().isEmpty() ? QLatin1String(widget.metaObject()->className())
                                         : widget.objectName();
}

// The room `widget` needs to show its text whole; nothing for a control
// without text of its own.
std::optional<QSize> neededRoom(const QWidget& widget) {
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        if (label->wordWrap()) {
            return QSize(widget.width(), label->heightForWidth(widget.width()));
        }
        return label->fontMetrics().size(0, label->text());
    }
    if (const auto* box = qobject_cast<const QLineEdit*>(&widget)) {
        // Any width: the box scrolls.
        return QSize(0, box->fontMetrics().height() +
                            2 * box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth));
    }
    if (qobject_cast<const QCheckBox*>(&widget) != nullptr ||
        qobject_cast<const QComboBox*>(&widget) != nullptr) {
        return QSize(widget.sizeHint().width(), 0);
    }
    return std::nullopt;
}

// Where `widget` puts paint in its parent: a label's glyphs, else the whole control.
QRect ink(const QWidget& widget) {
    const auto* label = qobject_cast<const QLabel*>(&widget);
    if (label == nullptr || label->wordWrap() || label->text().isEmpty()) {
        return widget.geometry();
    }
    const QFontMetrics metrics(label->font());
    return metrics.tightBoundingRect(label->text())
        .translated(widget.pos() + QPoint(0, metrics.ascent()));
}

// Every fault of the widget tree under `top`, in words. A received sentence
// (lblGGA) may run on past the window's edge.
QStringList LayoutFaults(const QWidget& top) {
    QList<const QWidget*> controls;
    for (const QWidget* control : top.findChildren<QWidget*>()) {
        if (control->isVisibleTo(&top) && !control->isWindow()) {
            controls << control;
        }
    }
    QStringList faults;
    for (qsizetype i = 0; i < controls.size(); ++i) {
        const QWidget& control = *controls[i];
        const std::optional<QSize> needed = neededRoom(control);
        if (needed && (needed->width() > control.width() || needed->height() > control.height())) {
            faults << describe(control) + QStringLiteral(" is too small for its text");
        }
        if (!control.parentWidget()->rect().contains(control.geometry()) &&
            !control.objectName().startsWith(QStringLiteral("lblGGA"))) {
            faults << describe(control) + QStringLiteral(" is cut off");
        }
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
            const QWidget& other = *controls[j];
            if (other.parentWidget() != control.parentWidget()) {
                continue;
            }
            // Frames may share their one-pixel border.
            const QRect common = ink(control).intersected(ink(other));
            const bool frames = qobject_cast<const QGroupBox*>(&control) != nullptr &&
                                qobject_cast<const QGroupBox*>(&other) != nullptr;
            if (!common.isEmpty() && !(frames && std::min(common.width(), common.height()) <= 1)) {
                faults << describe(control) + QStringLiteral(" overlaps ") + describe(other);
            }
        }
    }
    return faults;
}

std::string withChecksum(const std::string& sentence) {
    return sentence + "*" + NmeaChecksum(sentence + "*") + "\r\n";
}

TEST(Layout, NothingInTheWindowIsCutOffOrOverlapsWithInitialAndTypicalTexts) {
    WindowHarness harness;
    Frm_Bivane& window = harness.start();
    window.show();
    QApplication::processEvents();
    EXPECT_EQ(LayoutFaults(window), QStringList()) << "initial texts";

    // Two differential receivers a few metres apart, one satellite and the
    // age apart: every label of the panels filled, some of them red, and C-O
    // with its angle.
    harness.state().CalculatedBaseline = 5;
    harness.port(1).receive(
        withChecksum("$GPGGA,123519.00,4807.0380,N,01131.0000,E,2,08,0.9,545.4,M,46.9,M,2.0,0031"));
    harness.port(2).receive(
        withChecksum("$GPGGA,123519.00,4807.0400,N,01131.0030,E,2,09,1.1,546.9,M,46.9,M,8.0,0031"));
    harness.settle();
    ASSERT_NE(window.windowText().lblHDT.text, "NMEA Output - HDT message");
    EXPECT_EQ(LayoutFaults(window), QStringList()) << "differential fixes and C-O";

    // The receivers out of step: "OLD" under the heading; a port lost.
    harness.receivePair(21, 50);
    window.engine().portLost(2);
    harness.settle();
    ASSERT_TRUE(window.label("lblOld")->isVisibleTo(&window));
    ASSERT_NE(window.windowText().lblError.text, "No error messages  ");
    EXPECT_EQ(LayoutFaults(window), QStringList()) << "a heading, stale fixes and a lost port";
}

TEST(Layout, NothingInADialogIsCutOffOrOverlaps) {
    QWidget owner;
    CompassState state;
    state.HeadingOutput = true;
    state.OffsetY = {-12.5, 123.456};
    MainWindowText text;
    ScriptedPrompts prompts;
    std::array<MemoryPort, 3> ports{MemoryPort(16), MemoryPort(2), MemoryPort(3)};
    ports[1].setSettings("921600,n,8,1");
    const NetworkSettings network{true, {}, true, {QStringLiteral("192.168.100.255"), 10110}};
    std::vector<std::unique_ptr<QDialog>> dialogs;
    dialogs.push_back(std::make_unique<Frm_Setup>(
        &owner, std::array<SerialPort*, 3>{&ports[0], &ports[1], &ports[2]}, state, text, prompts,
        nullptr));
    dialogs.push_back(std::make_unique<Frm_Offset>(&owner, state, text, prompts, ','));
    dialogs.push_back(std::make_unique<frmAbout>(&owner));
    dialogs.push_back(std::make_unique<Frm_Output>(
        &owner, OutputSettings{{HeadingSentence::Hdt, HeadingSentence::Rot}, 0.123456789}, prompts,
        '.'));
    dialogs.push_back(std::make_unique<Frm_Network>(&owner, network, prompts, [] {
        return QStringLiteral("TCP: 2 client(s) connected\nUDP: 21 datagrams sent");
    }));
    for (const auto& dialog : dialogs) {
        dialog->show();
        EXPECT_EQ(LayoutFaults(*dialog), QStringList()) << describe(*dialog).toStdString();
        dialog->close();
    }
}

}  // namespace
}  // namespace bivane::test
