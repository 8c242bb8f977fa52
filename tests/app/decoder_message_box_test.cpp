#include <gtest/gtest.h>

#include <QMessageBox>

#include "tests/app/window_harness.h"
#include "tests/support/gga_lines.h"

namespace bivane {
namespace {

using test::WindowHarness;

// A GGA line whose satellite count does not fit its field: the decoder
// reports it and goes on with the next field.
std::string satellitesOutOfRange(int second, int satellites) {
    test::GgaFields fields;
    fields.time = "1235" + std::to_string(second) + ".00";
    fields.satellites = satellites;
    return test::GgaLine(fields);
}

TEST(DecoderMessageBox, StandsWithoutStoppingReceptionOrTheHeadingOutput) {
    WindowHarness harness;
    harness.writeFile(QStringLiteral("Bivane.ini"),
                      "1,\"4800,n,8,1\"\r\n2,\"4800,n,8,1\"\r\n3,\"4800,n,8,1\"\r\n0,0\r\n0,0\r\n"
                      "#TRUE#\r\n");
    Frm_Bivane& window = harness.start();
    window.show();
    harness.port(2).receive(WindowHarness::FixPair(10).second);
    harness.port(1).receive(satellitesOutOfRange(10, 40000));

    // The port event has returned, the box stands, and the cycle of the
    // same event has sent its sentence.
    QMessageBox* box = window.decoderMessages().shownBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Error ExtractGGA"));
    EXPECT_EQ(box->windowModality(), Qt::WindowModal);
    const QString firstText = box->text();
    EXPECT_FALSE(firstText.isEmpty());
    EXPECT_EQ(std::count(harness.port(3).written().begin(), harness.port(3).written().end(), '\n'),
              1);

    for (int second = 11; second <= 15; ++second) {
        harness.receivePair(second);
    }
    EXPECT_EQ(std::count(harness.port(3).written().begin(), harness.port(3).written().end(), '\n'),
              6);
    EXPECT_EQ(window.label("lblUTC", 1)->text(), QStringLiteral("12:35:15.00"));

    // A newer failure takes over the one box.
    harness.port(1).receive(satellitesOutOfRange(16, -40000));
    EXPECT_EQ(window.decoderMessages().shownBox(), box);
    EXPECT_NE(box->text(), firstText);
    EXPECT_EQ(window.findChildren<QMessageBox*>().size(), 1);

    box->accept();
    EXPECT_EQ(window.decoderMessages().shownBox(), nullptr);
    harness.port(1).receive(satellitesOutOfRange(17, 40000));
    EXPECT_EQ(window.decoderMessages().shownBox(), box) << "the box comes back";
    window.close();
    EXPECT_EQ(window.decoderMessages().shownBox(), nullptr);
}

}  // namespace
}  // namespace bivane
