#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QPlainTextEdit>
#include <QSignalSpy>

#include "common/BusyFlag.h"
#include "common/SleepPump.h"
#include "compose/SignatureList.h"
#include "compose/gui/SignatureListModel.h"
#include "compose/gui/Signitures.h"
#include "support/ListFileCheck.h"
#include "support/RecordingPrompt.h"
#include "support/TempDir.h"
#include "support/gui/DialogButtons.h"

TEST(SignatureDialog, ThreeLinesAreTwoJoinsAndCancelRestores) {
    TTempDir dir;
    TBusyFlags flags;
    TSleepPump pump;
    TRecordingPrompt prompt;
    TSignatureList list;
    TSignatureListModel model(list, {dir.File("Internet.sig"), flags.listFill, pump, prompt});
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const int row = model.AddNew();
    EXPECT_EQ(model.Name(row), "New Signature");

    TSignitures dialog;
    EXPECT_EQ(dialog.windowTitle(), "Fenmarch Skiffpost Signatures");
    QObject::connect(&dialog, &TSignitures::Applied, &model,
                     [&](const std::vector<std::string>& lines) { list.SetLines(row, lines), model.Reset(); });
    dialog.Load(list.Lines(row));
    dialog.Sig->setPlainText("Ann Smith\nFenmarch Boats\n555-0100\n");
    ButtonOf(&dialog, "&Close")->click();
    ASSERT_TRUE(model.Save());
    ExpectListFile(dir.File("Internet.sig"), {{"Default Signature", {""}},
                                              {"New Signature",
                                               {"Ann Smith\x02"
                                                "Fenmarch Boats\x02"
                                                "555-0100"}}});

    // An edit cancelled after "&Apply" puts the row back.
    const TListRow kept = model.Row(row);
    dialog.Load(list.Lines(row));
    dialog.Sig->setPlainText("changed");
    ButtonOf(&dialog, "&Apply")->click();
    EXPECT_EQ(list.Lines(row), std::vector<std::string>{"changed"});
    ButtonOf(&dialog, "&Cancel")->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    model.Restore(row, kept);
    EXPECT_EQ(list.Lines(row).size(), 3u);

    // A header click sorts by name and writes the new order.
    QSignalSpy changed(&model, &TListRowsModel::Changed);
    ASSERT_EQ(model.Rename(row, "Business"), row);  // unsorted: keeps its place until sorted
    ASSERT_TRUE(model.SortByName());
    EXPECT_EQ(ReadListFileStrictly(dir.File("Internet.sig"))[0].caption, "Business");
    EXPECT_EQ(changed.count(), 2);
}
