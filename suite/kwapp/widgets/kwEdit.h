// The suite's text field: its limit counts bytes of UTF-8, as the record fields it edits
// do, and it can hold upper case only. Typed or pasted text beyond the limit is cut on a
// character boundary.
#pragma once

#include <QLineEdit>

class kwEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit kwEdit(QWidget* parent = nullptr, int controlId = 0);
    ~kwEdit() override;

    // 0: no limit.
    void SetByteLimit(int bytes);
    int ByteLimit() const { return _byteLimit; }
    void SetUpperCase(bool upper);
    bool UpperCase() const { return _upperCase; }

    // The text as UTF-8, and setting it (cut to the limit).
    std::string Text() const;
    void SetText(const std::string& text);

private:
    void Enforce();

    int _byteLimit = 0;
    bool _upperCase = false;
    bool _enforcing = false;
};
