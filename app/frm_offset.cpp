#include "app/frm_offset.h"

#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <cmath>
#include <string_view>

#include "app/dialog_layout.h"
#include "runtime/qt_text.h"
#include "runtime/version.h"
#include "heading/baseline.h"
#include "nmea/number_format.h"
#include "nmea/number_reader.h"

namespace bivane {
namespace {

// The designed client area and the places of the controls, in twips; the
// places of the "Y : " and "X : " labels and of the boxes are inside their
// frame.
constexpr int kDialogWidth = 4035;
constexpr int kDialogHeight = 2775;
constexpr std::array kFrameRects = {TwipRect{360, 600, 1695, 1095},
                                    TwipRect{2040, 600, 1695, 1095}};
constexpr std::array kFrameCaptions = {"GPS 1 (aft)", "GPS 2 (forward)"};
// Boxes 285 high would put the Y box's lower edge under the X box: they keep
// their tops, level with their captions, and are as high as the step
// between them.
constexpr TwipRect kTxtYRect{480, 360, 975, 240};
constexpr TwipRect kTxtXRect{480, 600, 975, 240};
constexpr TwipRect kCmdOKRect{960, 2160, 1215, 495};
constexpr TwipRect kCmdCancelRect{2280, 2160, 1215, 495};

struct CaptionPlace {
    int index;
    int frame;  // -1 for the client area
    const char* caption;
    TwipRect rect;
};
constexpr std::array kLabels = {
    CaptionPlace{
        5, -1, "Enter antenna offset from any common reference point", {120, 0, 3840, 195}},
    CaptionPlace{
        6, -1, "(One of the antennae might be selected with 0 offset)", {120, 240, 3750, 195}},
    CaptionPlace{1, 0, "Y : ", {240, 360, 240, 195}},
    CaptionPlace{2, 0, "X : ", {240, 600, 240, 195}},
    CaptionPlace{4, 1, "Y : ", {240, 360, 240, 195}},
    CaptionPlace{3, 1, "X : ", {240, 600, 240, 195}},
    CaptionPlace{0, -1, "Y : positive ahead  X : positive starboard", {600, 1800, 2850, 195}},
};

// Offsets whose square still is a number: the baseline is computed from
// the squares of their differences.
bool usableOffset(double metres) {
    return std::isfinite(metres) && std::isfinite(metres * metres);
}

}  // namespace

Frm_Offset::Frm_Offset(QWidget* owner, CompassState& state, MainWindowText& window,
                       UserPrompts& prompts, char decimalSeparator)
    : QDialog(owner, kSizableDialog),
      m_state(state),
      m_window(window),
      m_prompts(prompts),
      m_decimalSeparator(decimalSeparator) {
    SetUpDialog(*this, "Frm_Offset", QStringLiteral("Bivane Antenna Offset"));
    createControls();
    Form_Load();
}

void Frm_Offset::createControls() {
    const auto box = [&](QWidget* frame, std::string_view name, int index, const TwipRect& rect) {
        auto* text = new QLineEdit(QStringLiteral("0.0 m"), frame);
        text->setObjectName(FromStd(LabelKey(name, index)));
        PlaceInTwips(*text, rect);
        text->installEventFilter(this);
        return text;
    };
    for (std::size_t i = 0; i < m_frames.size(); ++i) {
        m_frames[i] = AddFrame(*this, FromStd(LabelKey("Frame1", static_cast<int>(i))),
                               QLatin1String(kFrameCaptions[i]), kFrameRects[i]);
        // The Y box stands above the X box.
        m_txtY[i] = box(m_frames[i], "txtY", static_cast<int>(i), kTxtYRect);
        m_txtX[i] = box(m_frames[i], "txtX", static_cast<int>(i), kTxtXRect);
    }
    for (const CaptionPlace& label : kLabels) {
        QWidget* container = label.frame < 0 ? static_cast<QWidget*>(this)
                                             : m_frames.at(static_cast<std::size_t>(label.frame));
        auto* caption = new QLabel(QLatin1String(label.caption), container);
        caption->setObjectName(FromStd(LabelKey("Label1", label.index)));
        PlaceInTwips(*caption, label.rect);
    }

    m_cmdOK = AddButton(*this, "cmdOK", QStringLiteral("OK"), kCmdOKRect);
    m_cmdOK->setDefault(true);
    connect(m_cmdOK, &QPushButton::clicked, this, &Frm_Offset::cmdOK_Click);
    m_cmdCancel = AddButton(*this, "cmdCancel", QStringLiteral("Cancel"), kCmdCancelRect);
    connect(m_cmdCancel, &QPushButton::clicked, this, &Frm_Offset::cmdCancel_Click);

    setTabOrder(m_txtY[0], m_txtX[0]);
    setTabOrder(m_txtX[0], m_txtY[1]);
    setTabOrder(m_txtY[1], m_txtX[1]);
    setTabOrder(m_txtX[1], m_cmdCancel);
    setTabOrder(m_cmdCancel, m_cmdOK);
    m_txtY[0]->setFocus();

    DrawFramesLikeTheMainWindow(*this);
    resize(DialogPixels(*this, kDialogWidth), DialogPixels(*this, kDialogHeight));
}

void Frm_Offset::Form_Load() {
    const auto showOffset = [this](QLineEdit* box, double metres, QString& shown) {
        shown = FromStd(FormatNumber(metres, "0.00", m_decimalSeparator) + " m");
        box->setText(shown);
    };
    for (std::size_t i = 0; i < 2; ++i) {
        showOffset(m_txtX[i], m_state.OffsetX[i], m_shownX[i]);
        showOffset(m_txtY[i], m_state.OffsetY[i], m_shownY[i]);
    }
}

bool Frm_Offset::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        for (int i = 0; i < 2; ++i) {
            if (watched == txtX(i)) {
                txtX_GotFocus(i);
            } else if (watched == txtY(i)) {
                txtY_GotFocus(i);
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Frm_Offset::txtX_GotFocus(int index) {
    // After the event: a mouse click that brought the focus would otherwise
    // put the cursor where it landed and undo the selection.
    QTimer::singleShot(0, txtX(index), &QLineEdit::selectAll);
}

void Frm_Offset::txtY_GotFocus(int index) {
    QTimer::singleShot(0, txtY(index), &QLineEdit::selectAll);
}

void Frm_Offset::cmdOK_Click() {
    // A box still showing what it was opened with keeps the offset behind
    // it: the two decimals shown would round 0.004 m to 0.
    const auto read = [this](QLineEdit* box, const QString& shown, double stored, double& metres,
                             std::size_t receiver, const QString& axis) {
        metres = box->text() == shown ? stored : NumberFromText(box->text().toStdString());
        if (usableOffset(metres)) {
            return true;
        }
        refuse(tr("The offset \"%1\" (%2, %3) is too large.")
                   .arg(box->text(), m_frames[receiver]->title(), axis),
               box);
        return false;
    };
    std::array<double, 2> offsetX{};
    std::array<double, 2> offsetY{};
    for (std::size_t i = 0; i < 2; ++i) {
        if (!read(m_txtX[i], m_shownX[i], m_state.OffsetX[i], offsetX[i], i, QStringLiteral("X")) ||
            !read(m_txtY[i], m_shownY[i], m_state.OffsetY[i], offsetY[i], i, QStringLiteral("Y"))) {
            return;
        }
    }
    const std::array<double, 2> previousX = m_state.OffsetX;
    const std::array<double, 2> previousY = m_state.OffsetY;
    m_state.OffsetX = offsetX;
    m_state.OffsetY = offsetY;
    if (const auto failure = CalculateBaseline(m_state, m_window, m_decimalSeparator)) {
        // Each offset is a number, but the distance between them is not.
        m_state.OffsetX = previousX;
        m_state.OffsetY = previousY;
        refuse(FromStd(*failure) + QLatin1Char('.'), nullptr);
        return;
    }
    accept();
}

void Frm_Offset::refuse(const QString& why, QLineEdit* box) {
    m_prompts.message(FromStd(kProgramTitle), why + tr(" Nothing has been changed."));
    if (box != nullptr) {
        box->setFocus();
        box->selectAll();
    }
}

void Frm_Offset::cmdCancel_Click() {
    reject();
}

void Frm_Offset::keyPressEvent(QKeyEvent* event) {
    if (!event->matches(QKeySequence::Cancel)) {
        QDialog::keyPressEvent(event);
    }
}

}  // namespace bivane
