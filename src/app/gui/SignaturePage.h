#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/gui/RowsPage.h"
#include "common/gui/FileChooser.h"

class TSignatureListModel;
class TSignatureList;

// The "Signature Files" page: signatures in list order (a header click sorts
// them by name), the signature dialog, and a signature imported from a file.
class TSignaturePage : public TRowsPage {
    Q_OBJECT

public:
    TSignaturePage(TFMListView* list, TSignatureList& signatures, TSignatureListModel& model, TFileChooser chooser,
                   QObject* parent);

    // Asks for a text file and opens a new signature with its lines.
    void ImportSignature();

protected:
    bool OpenDialog(int row) override;
    bool CanImport() const override { return true; }
    void Import() override { ImportSignature(); }

private:
    TSignatureList& signatures_;
    TFileChooser chooser_;
    // The lines a new signature's dialog starts with (an import).
    std::optional<std::vector<std::string>> startLines_;
};
