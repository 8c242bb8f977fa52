#include "heading/main_window_text.h"

#include <array>

namespace bivane {
namespace {

template <typename Array>
void fill(Array& labels, std::string_view text) {
    for (int i = Array::kFirst; i <= Array::kLast; ++i) {
        labels[i].text = text;
    }
}

}  // namespace

MainWindowText::MainWindowText() {
    Label1.text = "HEADING :";
    lblHeading.text = "000.0";
    lblOld = {"OLD", kDarkRed, false};
    lblCalculated.text = "0.0 m";
    lblBaseline.text = "0.0 m";
    lblC_O.text = "0.0 m";
    lblCorrespond.text = "0.0 \xC2\xB0";

    constexpr std::array<std::string_view, 9> kLabel2 = {
        "Observed :",   "GPS1: ", "GPS2: ",           "NMEA Output :", "Error message : ",
        "Calculated :", "C-O : ", "corresponds to :", "( if across )"};
    for (int i = 0; i <= 8; ++i) {
        Label2[i].text = kLabel2[static_cast<std::size_t>(i)];
    }

    // Row captions: the difference frame holds indexes 0 to 7, the GPS 1
    // frame 8 to 15 and the GPS 2 frame 16 to 23, each frame from the bottom
    // row ("Age") up in the GPS frames and from the top row down in the
    // difference frame.
    constexpr std::array<std::string_view, 8> kDifferenceRows = {
        "dLat :", "dLon :", "dAlt :", "dSvs", "dHDOP :", "Quality :", "Stn ID :", "dAge :"};
    constexpr std::array<std::string_view, 8> kReceiverRows = {
        "Lat :", "Lon :", "Alt :", "Svs :", "HDOP :", "Quality :", "Stn ID :", "Age :"};
    for (int row = 0; row < 8; ++row) {
        const auto r = static_cast<std::size_t>(row);
        lblLabel[row].text = kDifferenceRows[r];
        lblLabel[15 - row].text = kReceiverRows[r];
        lblLabel[23 - row].text = kReceiverRows[r];
    }

    fill(lblLat, "lblLat");
    fill(lblLon, "lblLon");
    fill(lblHgt, "lblHgt");
    fill(lblSvs, "lblSvs");
    fill(lblHdop, "lblHdop");
    fill(lblQuality, "lblQuality");
    fill(lblStnID, "lbStnID");
    fill(lblAge, "lblAge");
    fill(lblUTC, "lblUTC");

    lblGGA[1].text = "NMEA Input GPS 1 - GGA message";
    lblGGA[2].text = "NMEA Input GPS 2 - GGA message";
    lblHDT.text = "NMEA Output - HDT message";
    lblError.text = "No error messages  ";
    Label3[0].text = "Web site :";
    Label3[1].text = "e-mail:";
    lblElvanderNo = {std::string(kWebSiteAddress), kLinkBlue, true};
    lblSendMail = {std::string(kMailAddress), kLinkBlue, true};
}

std::string LabelKey(std::string_view name, int index) {
    std::string key(name);
    if (index >= 0) {
        key += '(';
        key += std::to_string(index);
        key += ')';
    }
    return key;
}

}  // namespace bivane
