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

    const OutputSettings chosen{{Ths, Hdt}, 0.35};
    WriteOutputSettings(store, chosen);
    EXPECT_EQ(store.value(QStringLiteral("Output/Sentences")).toString(),
              QStringLiteral("THS,HDT"));
    EXPECT_EQ(store.value(QStringLiteral("Output/BaselineLimit")).toString(),
              QStringLiteral("0.35"));
    EXPECT_EQ(ReadOutputSettings(store), chosen);

    store.setValue(QStringLiteral("Output/Sentences"), QStringLiteral("HDT,RMC"));
    store.setValue(QStringLiteral("Output/BaselineLimit"), QStringLiteral("-2"));
    EXPECT_EQ(ReadOutputSettings(store), OutputSettings{}) << "what cannot be read is not used";
}

TEST(Frm_Output, KeepsWhatTheUserDidNotChangeAndRefusesWhatCannotBe) {
    struct Row {
        const char* legend;
        bool hdt;
        bool ths;
        const char* limit;  // typed into the box; nullptr: left alone
        bool accepted;
        OutputSettings result;
    } const rows[] = {
        {"unchanged", true, true, nullptr, true, {{Ths, Hdt}, 0.123456789}},
        {"THS dropped", true, false, nullptr, true, {{Hdt}, 0.123456789}},
        {"a decimal comma", true, true, "0,5", true, {{Ths, Hdt}, 0.5}},
        {"no sentence", false, false, nullptr, false, {{Ths, Hdt}, 0.123456789}},
        {"a negative limit", true, true, "-1", false, {{Ths, Hdt}, 0.123456789}},
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
        if (row.limit != nullptr) {
            dialog->txtBaselineLimit()->selectAll();
            QTest::keyClicks(dialog->txtBaselineLimit(), QLatin1String(row.limit));
        }
        dialog->cmdOK_Click();
        EXPECT_EQ(dialog->result() == QDialog::Accepted, row.accepted);
        EXPECT_EQ(prompts.messages.size(), row.accepted ? 0u : 1u);
        EXPECT_EQ(dialog->settings(), row.result);
    }
}

}  // namespace
}  // namespace bivane
