#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QPlainTextEdit;

// The signature dialog, "Fenmarch Skiffpost Signatures": the lines of one
// signature. "&Apply" and "&Close" hand them over through Applied.
class TSignitures : public QDialog {
    Q_OBJECT

public:
    explicit TSignitures(QWidget* parent = nullptr);

    void Load(const std::vector<std::string>& lines);
    std::vector<std::string> Lines() const;

    QPlainTextEdit* Sig = nullptr;

signals:
    void Applied(const std::vector<std::string>& lines);
};
