// The full-date formatter of a text field: the field takes a date typed in the company's
// date format (with any of the separators the data library reads, or digits only), shows
// it back with a four-digit year once the user leaves it, and steps it one day with the
// Up and Down arrow keys, so a spin button that sends arrow keys steps it too.
#pragma once

#include "kwcommon/values/kwDate.h"

#include <QObject>
#include <string>

class QLineEdit;

class kwFullDateFormatter : public QObject {
    Q_OBJECT
public:
    // Attaches itself to edit (which owns it) and replaces the edit's validator.
    explicit kwFullDateFormatter(QLineEdit* edit);
    ~kwFullDateFormatter() override;

    // The formatter attached to an edit, nullptr when none.
    static kwFullDateFormatter* Of(const QLineEdit* edit);

    // The company's date format with its year widened to four digits.
    static std::string FullFormat();
    // A date as the field shows it ("" for no date).
    static std::string Format(const kwDate& date);
    // Reads text as a date: blank text is no date (true); text that is no date answers false.
    static bool Parse(const std::string& text, kwDate* date);

    // The field's date; false when its text is not a date (date is then no date).
    bool GetDate(kwDate* date) const;
    bool IsValid() const;
    bool IsBlank() const;
    void SetDate(const kwDate& date);
    // Moves the date by days; a blank field starts from today. false (nothing changed)
    // for a field whose text is not a date or that is read-only.
    bool Step(int days);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Reformat();

    QLineEdit* _edit;
};
