#include "app/main_window_layout.h"

#include <array>
#include <vector>

namespace bivane {
namespace {

constexpr int kWindow = -1;
constexpr int kBaselineFrame = 0;

constexpr std::array<FramePlace, 4> kFrames = {{
    {"frmBaseline", -1, "Dist between antennas", {4080, 0, 2175, 1455}},
    {"frmGPS", 1, "GPS 1(aft)", {120, 1440, 1815, 2655}},
    {"frmGPS", 2, "GPS 2 (forward)", {1920, 1440, 1815, 2655}},
    {"frmGPS", 0, "GPS2 - GPS1", {3720, 1440, 2535, 2655}},
}};

// Position of frmGPS(i) in kFrames.
int gpsFrame(int i) {
    return i == 0 ? 3 : i;
}

// The rows of the three fix panels, top to bottom.
struct PanelRow {
    std::string_view value;  // the value label array
    int top;
    int receiverLeft;    // value label in the GPS 1 and GPS 2 frames
    int differenceLeft;  // value label in the difference frame
};
constexpr std::array<PanelRow, 9> kPanelRows = {{
    {"lblLat", 240, 480, 600},
    {"lblLon", 480, 480, 600},
    {"lblHgt", 720, 480, 1080},
    {"lblSvs", 960, 720, 1080},
    {"lblHdop", 1200, 720, 1080},
    {"lblQuality", 1440, 720, 1080},
    {"lblStnID", 1680, 720, 1080},
    {"lblAge", 1920, 720, 1080},
    {"lblUTC", 2280, 240, 1080},
}};
constexpr int kCaptionedRows = 8;  // lblUTC has no caption
constexpr int kCaptionLeft = 120;

std::vector<LabelPlace> buildPlaces() {
    std::vector<LabelPlace> places = {
        {"Label1", -1, kWindow, 120, 240, LabelFont::Bold18},
        {"lblHeading", -1, kWindow, 2400, 240, LabelFont::Bold24},
        {"lblOld", -1, kWindow, 2640, 720, LabelFont::Bold18},

        {"Label2", 5, kBaselineFrame, 120, 240, LabelFont::Normal},
        {"lblCalculated", -1, kBaselineFrame, 1080, 240, LabelFont::Normal},
        {"Label2", 0, kBaselineFrame, 120, 480, LabelFont::Normal},
        {"lblBaseline", -1, kBaselineFrame, 1080, 480, LabelFont::Bold975},
        {"Label2", 6, kBaselineFrame, 600, 720, LabelFont::Normal},
        {"lblC_O", -1, kBaselineFrame, 1080, 720, LabelFont::Normal},
        {"Label2", 7, kBaselineFrame, 120, 960, LabelFont::Normal},
        {"lblCorrespond", -1, kBaselineFrame, 1320, 960, LabelFont::Normal},
        {"Label2", 8, kBaselineFrame, 840, 1200, LabelFont::Normal},

        {"Label2", 1, kWindow, 120, 4200, LabelFont::Normal},
        {"lblGGA", 1, kWindow, 720, 4200, LabelFont::Normal},
        {"Label2", 2, kWindow, 120, 4440, LabelFont::Normal},
        {"lblGGA", 2, kWindow, 720, 4440, LabelFont::Normal},
        {"Label2", 3, kWindow, 120, 4680, LabelFont::Normal},
        {"lblHDT", -1, kWindow, 1320, 4680, LabelFont::Normal},
        {"Label2", 4, kWindow, 120, 5040, LabelFont::Normal},
        {"lblError", -1, kWindow, 1320, 5040, LabelFont::Normal},
        {"Label3", 0, kWindow, 240, 5760, LabelFont::Italic},
        {"lblElvanderNo", -1, kWindow, 1320, 5760, LabelFont::Link},
        {"Label3", 1, kWindow, 2880, 5760, LabelFont::Italic},
        {"lblSendMail", -1, kWindow, 3480, 5760, LabelFont::Link},
    };

    // Row captions: the difference frame numbers its rows 0 to 7 from the
    // top, the GPS 1 frame 15 down to 8 and the GPS 2 frame 23 down to 16.
    for (int row = 0; row < kCaptionedRows; ++row) {
        const int top = kPanelRows[static_cast<std::size_t>(row)].top;
        places.push_back({"lblLabel", row, gpsFrame(0), kCaptionLeft, top, LabelFont::Normal});
        places.push_back({"lblLabel", 15 - row, gpsFrame(1), kCaptionLeft, top, LabelFont::Normal});
        places.push_back({"lblLabel", 23 - row, gpsFrame(2), kCaptionLeft, top, LabelFont::Normal});
    }
    for (const PanelRow& row : kPanelRows) {
        const LabelFont font = row.value == "lblUTC" ? LabelFont::Bold975 : LabelFont::Normal;
        for (int i = 0; i <= 2; ++i) {
            const int left = i == 0 ? row.differenceLeft : row.receiverLeft;
            places.push_back({row.value, i, gpsFrame(i), left, row.top, font});
        }
    }
    // North and east distances beside the latitude and longitude differences.
    places.push_back({"lblLat", 3, gpsFrame(0), 2040, 240, LabelFont::Normal});
    places.push_back({"lblLon", 3, gpsFrame(0), 2040, 480, LabelFont::Normal});
    return places;
}

}  // namespace

std::span<const FramePlace> MainWindowFrames() {
    return kFrames;
}

std::span<const LabelPlace> MainWindowLabelPlaces() {
    static const std::vector<LabelPlace> places = buildPlaces();
    return places;
}

const LabelPlace* FindLabelPlace(std::string_view name, int index) {
    for (const LabelPlace& place : MainWindowLabelPlaces()) {
        if (place.name == name && place.index == index) {
            return &place;
        }
    }
    return nullptr;
}

}  // namespace bivane
