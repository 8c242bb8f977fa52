#include "app/frm_about.h"

#include <QLabel>
#include <string>

#include "app/dialog_layout.h"
#include "app/link_opener.h"
#include "app/program_information.h"
#include "runtime/qt_text.h"
#include "runtime/version.h"
#include "app/window_fonts.h"
#include "heading/label_text.h"
#include "heading/main_window_text.h"

namespace bivane {
namespace {

// The box's size and the places of its controls, in twips.
constexpr int kDialogWidth = 6030;
constexpr int kDialogHeight = 3975;
constexpr TwipRect kPicIconRect{240, 240, 960, 960};
constexpr TwipRect kLblTitleRect{1920, 240, 3885, 480};
constexpr TwipRect kLblVersionRect{1920, 720, 3885, 225};
constexpr TwipRect kLblDescriptionRect{1920, 1080, 3885, 690};
constexpr TwipRect kLblMailRect{1320, 3240, 540, 195};
constexpr TwipRect kLblSendMailRect{1920, 3240, 1404, 192};
constexpr TwipRect kLblInternetRect{1440, 3480, 615, 195};
constexpr TwipRect kLblHyperlinkRect{2160, 3480, 1275, 195};
constexpr TwipRect kCmdOKRect{4200, 3240, 1260, 345};
constexpr double kTitlePoints = 12;

// A horizontal line from `left` to `right` at `top`, `width` pixels thick.
struct LinePlace {
    int index;
    int left;
    int right;
    int top;
    int width;
    Rgb color;
};
constexpr Rgb kLineGrey = 0x808080;
constexpr Rgb kLineWhite = 0xFFFFFF;
// An etched separator (a grey line over a white one), and a grey line above
// the links.
constexpr std::array kLines = {
    LinePlace{1, 345, 5570, 1830, 1, kLineGrey},
    LinePlace{0, 360, 5570, 1845, 2, kLineWhite},
    LinePlace{2, 360, 5640, 2880, 1, kLineGrey},
};

void setTextColor(QWidget& widget, QPalette::ColorRole role, Rgb color) {
    QPalette palette = widget.palette();
    palette.setColor(role, QColor(static_cast<QRgb>(color)));
    widget.setPalette(palette);
}

}  // namespace

frmAbout::frmAbout(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    SetUpDialog(*this, "frmAbout", {});
    createControls();
    Form_Load();
}

void frmAbout::createControls() {
    const auto label = [this](const char* name, const TwipRect& rect) {
        auto* text = new QLabel(this);
        text->setObjectName(QLatin1String(name));
        text->setTextFormat(Qt::PlainText);
        PlaceInTwips(*text, rect);
        return text;
    };
    // A one-line label grows to the right when its text needs more room
    // than the design gives it: the links show their address whole, however
    // long, and the captions before them whole, whatever the font.
    const auto oneLine = [&](const char* name, const TwipRect& rect, const QString& caption,
                             const QFont& face) {
        QLabel* text = label(name, rect);
        text->setFont(face);
        text->setText(caption);
        text->resize(text->size().expandedTo(QSize(text->sizeHint().width(), 0)));
        return text;
    };

    QLabel* picIcon = label("picIcon", kPicIconRect);
    picIcon->setPixmap(windowIcon().pixmap(picIcon->size()));
    picIcon->setAlignment(Qt::AlignCenter);

    QLabel* lblTitle = label("lblTitle", kLblTitleRect);
    QFont titleFont = ControlFont(LabelFont::Normal);
    titleFont.setPointSizeF(kTitlePoints);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    label("lblVersion", kLblVersionRect);
    QLabel* lblDescription = label("lblDescription", kLblDescriptionRect);
    lblDescription->setWordWrap(true);
    lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    const auto pixels = [this](int twips) { return DialogPixels(*this, twips); };
    for (const LinePlace& line : kLines) {
        auto* stroke = new QWidget(this);
        stroke->setObjectName(FromStd(LabelKey("Line1", line.index)));
        stroke->setGeometry(pixels(line.left), pixels(line.top),
                            pixels(line.right) - pixels(line.left) + 1, line.width);
        stroke->setAutoFillBackground(true);
        setTextColor(*stroke, QPalette::Window, line.color);
    }

    oneLine("lblMail", kLblMailRect, QStringLiteral("e-mail : "), font());
    oneLine("lblInternet", kLblInternetRect, QStringLiteral("internet :"), font());
    const auto link = [&](const char* name, const TwipRect& rect, std::string_view address,
                          std::string target) {
        QLabel* text = oneLine(name, rect, FromStd(address), ControlFont(LabelFont::Link));
        setTextColor(*text, QPalette::WindowText, kLinkBlue);
        OpenLinkOnClick(*text, std::move(target));
    };
    link("lblSendMail", kLblSendMailRect, kMailAddress, MailLink());
    link("lblHyperlink", kLblHyperlinkRect, kWebSiteAddress, std::string(kWebSiteAddress));

    // Enter and Esc both close the box.
    m_cmdOK = AddButton(*this, "cmdOK", QStringLiteral("OK"), kCmdOKRect);
    m_cmdOK->setDefault(true);
    connect(m_cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    m_cmdOK->setFocus();

    setFixedSize(DialogPixels(*this, kDialogWidth), DialogPixels(*this, kDialogHeight));
}

void frmAbout::Form_Load() {
    const QString title = FromStd(kProgramTitle);
    setWindowTitle(QStringLiteral("  About ") + title);
    findChild<QLabel*>(QStringLiteral("lblTitle"))->setText(title);
    findChild<QLabel*>(QStringLiteral("lblVersion"))
        ->setText(QStringLiteral("Version ") + FromStd(VersionText));
    findChild<QLabel*>(QStringLiteral("lblDescription"))->setText(FromStd(kProgramDescription));
}

void frmAbout::cmdOK_Click() {
    accept();
}

}  // namespace bivane
