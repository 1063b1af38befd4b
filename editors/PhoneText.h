#pragma once
// Rules shared by the telephone editors of both generations.

#include <QChar>
#include <QLineEdit>
#include <string>

// One leading "+" dropped.
std::string StripPlus(const std::string& number);

// The phone key filter: digits, backspace, and "+" only with the caret (the
// selection's start) at the start of the text; everything else is discarded.
bool PhoneKeyAccepted(QChar typed, const QLineEdit& edit);

// Installs the phone key filter on an edit.
void InstallPhoneKeyFilter(QLineEdit& edit);
