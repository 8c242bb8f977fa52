#pragma once

#include <string>
#include <string_view>
#include <type_traits>

#include "heading/label_text.h"

namespace bivane {

// The maker's addresses shown by the link labels of the main window and the
// about box.
inline constexpr std::string_view kWebSiteAddress = "bivane.example";
inline constexpr std::string_view kMailAddress = "info@bivane.example";

// The texts, colours and visibility of every label of the main window, under
// the names the window gives them. The heading engine writes here; the window
// copies it into its labels after every event, and the tools read it. This
// is the one place that knows which labels exist.
struct MainWindowText {
    MainWindowText();  // every label with its initial text and colour

    bool operator==(const MainWindowText&) const = default;

    // Top band and the "Dist between antennas" frame.
    LabelText Label1;
    LabelText lblHeading;
    LabelText lblOld;
    LabelText lblCalculated;
    LabelText lblBaseline;
    LabelText lblC_O;
    LabelText lblCorrespond;
    LabelArray<0, 8> Label2;

    // The receiver panels: index 1 = GPS 1 (aft), 2 = GPS 2 (forward),
    // 0 = the difference panel "GPS2 - GPS1"; lblLat(3) and lblLon(3) hold the
    // north and east distances.
    LabelArray<0, 23> lblLabel;
    LabelArray<0, 3> lblLat;
    LabelArray<0, 3> lblLon;
    LabelArray<0, 2> lblHgt;
    LabelArray<0, 2> lblSvs;
    LabelArray<0, 2> lblHdop;
    LabelArray<0, 2> lblQuality;
    LabelArray<0, 2> lblStnID;
    LabelArray<0, 2> lblAge;
    LabelArray<0, 2> lblUTC;

    // Bottom band.
    LabelArray<1, 2> lblGGA;
    LabelText lblHDT;
    LabelText lblError;
    LabelArray<0, 1> Label3;
    LabelText lblElvanderNo;
    LabelText lblSendMail;

    // Calls visit(name, index, label) for every label; index is -1 for a
    // label that is not part of an array.
    template <typename Visitor>
    void forEachLabel(Visitor&& visit) {
        visitAll(*this, visit);
    }
    template <typename Visitor>
    void forEachLabel(Visitor&& visit) const {
        visitAll(*this, visit);
    }

  private:
    template <typename Self, typename Visitor>
    static void visitAll(Self& self, Visitor& visit) {
        auto one = [&](std::string_view name, auto& label) { visit(name, -1, label); };
        auto many = [&](std::string_view name, auto& labels) {
            using Array = std::remove_cvref_t<decltype(labels)>;
            for (int i = Array::kFirst; i <= Array::kLast; ++i) {
                visit(name, i, labels[i]);
            }
        };
        one("Label1", self.Label1);
        one("lblHeading", self.lblHeading);
        one("lblOld", self.lblOld);
        one("lblCalculated", self.lblCalculated);
        one("lblBaseline", self.lblBaseline);
        one("lblC_O", self.lblC_O);
        one("lblCorrespond", self.lblCorrespond);
        many("Label2", self.Label2);
        many("lblLabel", self.lblLabel);
        many("lblLat", self.lblLat);
        many("lblLon", self.lblLon);
        many("lblHgt", self.lblHgt);
        many("lblSvs", self.lblSvs);
        many("lblHdop", self.lblHdop);
        many("lblQuality", self.lblQuality);
        many("lblStnID", self.lblStnID);
        many("lblAge", self.lblAge);
        many("lblUTC", self.lblUTC);
        many("lblGGA", self.lblGGA);
        one("lblHDT", self.lblHDT);
        one("lblError", self.lblError);
        many("Label3", self.Label3);
        one("lblElvanderNo", self.lblElvanderNo);
        one("lblSendMail", self.lblSendMail);
    }
};

// The key of a label as the window names it: "lblHeading", "lblLat(3)".
std::string LabelKey(std::string_view name, int index);

}  // namespace bivane
