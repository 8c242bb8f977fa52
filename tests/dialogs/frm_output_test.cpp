#include "app/frm_output.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTest>

#include "tests/dialogs/dialog_test_support.h"

namespace bivane {
namespace {

using enum HeadingSentence;

TEST(OutputSettings, AreKeptInThePerUserStore) {
    QTemporaryDir folder;
    QSettings store(folder.filePath(QStringLiteral("user.ini")), QSettings::IniFormat);
    EXPECT_EQ(ReadOutputSettings(store), OutputSettings{}) << "HDT alone, 1 degree";

    const OutputSettings chosen{{Ths, Hdt, Rot}, 0.35, 0};
    WriteOutputSettings(store, chosen);
    EXPECT_EQ(store.value(QStringLiteral("Output/Sentences")).toString(),
              QStringLiteral("THS,HDT,ROT"));
    EXPECT_EQ(store.value(QStringLiteral("Output/BaselineLimit")).toString(),
              QStringLiteral("0.35"));
    EXPECT_EQ(ReadOutputSettings(store), chosen);

    store.setValue(QStringLiteral("Output/Sentences"), QStringLiteral("HDT,RMC"));
    store.setValue(QStringLiteral("Output/BaselineLimit"), QStringLiteral("-2"));
    store.setValue(QStringLiteral("Output/RotTimeConstant"), QStringLiteral("x"));
    EXPECT_EQ(ReadOutputSettings(store), OutputSettings{}) << "what cannot be read is not used";
}

TEST(Frm_Output, KeepsWhatTheUserDidNotChangeAndRefusesWhatCannotBe) {
    struct Row {
        const char* legend;
        bool hdt;
        bool ths;
        bool rot;
        const char* limit;         // typed into the box; nullptr: left alone
        const char* timeConstant;  // the same
        bool accepted;
        OutputSettings result;
    } const rows[] = {
        {"unchanged", true, true, false, nullptr, nullptr, true, {{Ths, Hdt}, 0.123456789}},
        {"THS dropped", true, false, false, nullptr, nullptr, true, {{Hdt}, 0.123456789}},
        {"a decimal comma", true, true, false, "0,5", nullptr, true, {{Ths, Hdt}, 0.5}},
        {"ROT added last, unsmoothed", true, true, true, nullptr, "0", true,
         {{Ths, Hdt, Rot}, 0.123456789, 0}},
        {"no sentence", false, false, false, nullptr, nullptr, false, {{Ths, Hdt}, 0.123456789}},
        {"a negative limit", true, true, false, "-1", nullptr, false, {{Ths, Hdt}, 0.123456789}},
        {"a negative time constant", true, true, true, nullptr, "-3", false,
         {{Ths, Hdt}, 0.123456789}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.legend);
        test::RecordingPrompts prompts;
        const OutputSettings current{{Ths, Hdt}, 0.123456789};
        auto dialog = test::ShowDialog<Frm_Output>(nullptr, current, prompts, ',');
        EXPECT_EQ(dialog->txtBaselineLimit()->text(), QStringLiteral("0,123456789"));
        EXPECT_EQ(test::LayoutFaults(*dialog), QStringList());
        dialog->chkSentence(Hdt)->setChecked(row.hdt);
        dialog->chkSentence(Ths)->setChecked(row.ths);
        dialog->chkSentence(Rot)->setChecked(row.rot);
        EXPECT_EQ(dialog->txtRotTimeConstant()->text(), QStringLiteral("2"));
        for (const auto& [box, typed] : {std::pair{dialog->txtBaselineLimit(), row.limit},
                                         std::pair{dialog->txtRotTimeConstant(), row.timeConstant}}) {
            if (typed != nullptr) {
                box->selectAll();
                QTest::keyClicks(box, QLatin1String(typed));
            }
        }
        test::ExpectOkOutcome(*dialog, prompts, row.accepted, row.result);
    }
}

}  // namespace
}  // namespace bivane
