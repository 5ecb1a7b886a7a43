#pragma once

#include <QLineEdit>

namespace heatplate {

// A text box for numbers that may grow longer than the box: when the text
// does not fit, the box narrows its font (the same face and height,
// condensed) as far as needed for every character to show, down to half the
// width. Short texts keep the window's font.
class FittingLineEdit final : public QLineEdit {
  public:
    FittingLineEdit(const QString& text, QWidget* parent);

    // The font's width in per cent of the window's: 100 when the text fits.

  protected:
    void changeEvent(QEvent* event) override;

  private:
    static constexpr int kNarrowest = 50;
    // QLineEdit keeps this many pixels free on either side of its text.
    static constexpr int kInnerMargin = 2;

    void fit();
    int room() const;
    bool fits(int stretch, int room) const;

    int stretch_ = 100;
};

}  // namespace heatplate
