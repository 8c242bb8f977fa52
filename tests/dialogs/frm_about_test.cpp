#include "app/frm_about.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QUrl>
#include <memory>

#include "app/link_opener.h"
#include "app/program_information.h"
#include "app/twips.h"
#include "heading/main_window_text.h"
#include "tests/dialogs/dialog_test_support.h"

namespace bivane {
namespace {

using test::Child;

// Takes the links that the desktop is asked to open.
class LinkCatcher : public QObject {
    Q_OBJECT
  public:
    QStringList opened;
  public Q_SLOTS:
    void open(const QUrl& url) { opened << url.toString(); }
};

class FrmAboutTest : public ::testing::Test {
  protected:
    std::unique_ptr<frmAbout> openBox() { return test::ShowDialog<frmAbout>(&owner); }
    QWidget owner;
};

TEST_F(FrmAboutTest, ShowsTitleVersionDescriptionAndLinksAsDesigned) {
    owner.setWindowIcon(QIcon(QPixmap(16, 16)));
    const auto box = openBox();
    EXPECT_EQ(box->windowTitle(), QStringLiteral("  About NMEA Bivane"));
    const auto textOf = [&](const char* name) { return Child<QLabel>(*box, name)->text(); };
    EXPECT_EQ(textOf("lblTitle"), QStringLiteral("NMEA Bivane"));
    EXPECT_EQ(textOf("lblVersion"), QStringLiteral("Version 1.05 (2007)"));
    EXPECT_EQ(textOf("lblDescription").toStdString(), kProgramDescription);
    EXPECT_EQ(textOf("lblSendMail").toStdString(), kMailAddress);
    EXPECT_EQ(textOf("lblHyperlink").toStdString(), kWebSiteAddress);
    EXPECT_FALSE(Child<QLabel>(*box, "picIcon")->pixmap().isNull()) << "the owner's icon";

    const QFont title = Child<QLabel>(*box, "lblTitle")->font();
    EXPECT_TRUE(title.bold() && title.pointSizeF() == 12);
    for (const char* link : {"lblSendMail", "lblHyperlink"}) {
        EXPECT_TRUE(Child<QLabel>(*box, link)->font().underline()) << link;
        EXPECT_EQ(Child<QLabel>(*box, link)->palette().color(QPalette::WindowText),
                  QColor(0, 0, 255));
    }
    EXPECT_EQ(Child(*box, "Line1(1)")->palette().color(QPalette::Window), QColor(128, 128, 128));
    EXPECT_EQ(Child(*box, "Line1(0)")->palette().color(QPalette::Window), QColor(Qt::white));

    const std::vector<test::DesignedPlace> designed = {
        {"picIcon", "frmAbout", {240, 240, 960, 960}},
        {"lblTitle", "frmAbout", {1920, 240, 3885, 480}},
        {"lblDescription", "frmAbout", {1920, 1080, 3885, 690}},
        {"lblMail", "frmAbout", {1320, 3240, 540, 195}},
        {"lblSendMail", "frmAbout", {1920, 3240, 1404, 192}},
        {"lblInternet", "frmAbout", {1440, 3480, 615, 195}},
        {"lblHyperlink", "frmAbout", {2160, 3480, 1275, 195}},
        {"cmdOK", "frmAbout", {4200, 3240, 1260, 345}},
    };
    test::ExpectDesignedPlaces(*box, designed);
    EXPECT_EQ(test::LayoutFaults(*box), QStringList());
    EXPECT_EQ(box->size(), QSize(TwipsToPixels(6030, box->screen()->logicalDotsPerInch()),
                                 TwipsToPixels(3975, box->screen()->logicalDotsPerInch())));
    EXPECT_EQ(box->minimumSize(), box->maximumSize()) << "a fixed size";
}

TEST_F(FrmAboutTest, EnterAndEscCloseTheBox) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        const auto box = openBox();
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_FALSE(box->isVisible()) << key;
    }
}

TEST_F(FrmAboutTest, ClickingALinkHandsItsAddressToTheDesktop) {
    LinkCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher, "open");
    const auto box = openBox();
    QTest::mouseClick(Child(*box, "lblHyperlink"), Qt::LeftButton);
    QTest::mouseClick(Child(*box, "lblSendMail"), Qt::LeftButton);
    QTest::mouseClick(Child(*box, "lblMail"), Qt::LeftButton);  // not a link
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));

    EXPECT_EQ(catcher.opened,
              (QStringList{QString::fromStdString("http://" + std::string(kWebSiteAddress)),
                           QString::fromStdString("mailto:" + std::string(kMailAddress))}));
    EXPECT_TRUE(box->isVisible());
}

TEST(LinkUrl, ABareHostNameIsAWebAddressOtherLinksStandAsTheyAre) {
    const struct {
        const char* target;
        const char* url;
    } rows[] = {
        {"www.nmea-bivane.example", "http://www.nmea-bivane.example"},
        {" www.nmea-bivane.example/help ", "http://www.nmea-bivane.example/help"},
        {"mailto:heading@nmea-bivane.example", "mailto:heading@nmea-bivane.example"},
        {"https://nmea-bivane.example/", "https://nmea-bivane.example/"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(LinkUrl(row.target), QUrl(QLatin1String(row.url))) << row.target;
    }
    EXPECT_EQ(MailLink(), "mailto:" + std::string(kMailAddress));
}

}  // namespace
}  // namespace bivane

#include "frm_about_test.moc"
