// The Processor page: names and signature of the selected processor, its family data from the
// naming tables, the feature labels, the cache summary, the clocks and the processor's logo.
#pragma once

#include <QRect>
#include <QString>
#include <QWidget>
#include <array>

struct tClocks;
struct tEffectiveClock;
struct tProcessorRecords;
class QFrame;
class QGroupBox;
class QLabel;
class TExtEdit;

class TProcessorPage : public QWidget {
  Q_OBJECT

 public:
  explicit TProcessorPage(QWidget* parent);

  // Fills everything but the Clocks group. An error ends the fill silently where it happens;
  // what was set before it keeps its new value. A logo that cannot be read only leaves the
  // picture as it was.
  void ShowProcessor(const tProcessorRecords& records, unsigned slot);
  // Fills the Clocks group from the slot's latest clock record and effective clock, with the
  // user's decimal separator.
  void ShowClocks(const tProcessorRecords& records, const tClocks& clocks,
                  const tEffectiveClock& effective, unsigned slot);

  // The folder the logo pictures are read from, ending in a slash: "Logo" beside the program
  // unless set otherwise.
  void SetLogoFolder(const QString& folder) { logoFolder_ = folder; }

  // The processor selector is the window's; it sits in the Processor group beside its caption
  // "CPU Selection", at this place.
  QWidget* SelectorParent() const;
  static QRect SelectorGeometry() { return {96, 243, 105, 21}; }

 private:
  static constexpr int kFieldCount = 19;    // rows of the Processor group
  static constexpr int kFeatureCount = 12;  // feature labels but the power label
  static constexpr int kSummaryCount = 4;   // rows of the Cache and Clocks groups

  struct tField {
    QLabel* Caption = nullptr;
    TExtEdit* Value = nullptr;
  };

  void CreateProcessorGroup();
  void CreateFeaturesGroup();
  void CreateSummaryGroups();  // Cache and Clocks
  // Shows the picture of `fileName` from the logo folder. A file that is missing or is not a
  // picture leaves the logo area as it is.
  void ShowLogo(const QString& fileName);

  QString logoFolder_;
  QString shownLogo_;  // the path of the picture shown, empty before the first
  QGroupBox* processorGroup_ = nullptr;
  std::array<tField, kFieldCount> fields_{};
  QFrame* logoFrame_ = nullptr;
  QLabel* logoImage_ = nullptr;
  std::array<QLabel*, kFeatureCount> features_{};
  QLabel* powerFeature_ = nullptr;
  std::array<QLabel*, 8> extensions_{};
  std::array<tField, kSummaryCount> cacheSummary_{};
  std::array<tField, kSummaryCount> clocks_{};
};
