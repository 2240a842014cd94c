#include "ui/controls/AddressEdit.h"

namespace quintara::ui {
namespace {

constexpr int kOctets = 4;
constexpr int kOctetDigits = 3;
constexpr int kLongestAddress = kOctets * kOctetDigits + kOctets - 1;  // 255.255.255.255

}  // namespace

QValidator::State AddressValidator::validate(QString& input, int&) const {
  const QStringList parts = input.split(QLatin1Char('.'));
  if (parts.size() > kOctets) {
    return Invalid;
  }
  bool whole = parts.size() == kOctets;
  for (const QString& part : parts) {
    if (part.size() > kOctetDigits) {
      return Invalid;
    }
    for (const QChar c : part) {
      if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
        return Invalid;
      }
    }
    if (part.isEmpty()) {
      whole = false;
    } else if (part.toInt() > 255) {
      return Invalid;
    }
  }
  return whole ? Acceptable : Intermediate;
}

AddressEdit::AddressEdit(QWidget* parent) : QLineEdit(parent) {
  setValidator(new AddressValidator(this));
  setMaxLength(kLongestAddress);
}

std::optional<Ipv4Address> AddressEdit::Address() const {
  return Ipv4Address::Parse(text().toStdString());
}

}  // namespace quintara::ui
