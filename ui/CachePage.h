// The Cache page: the caches and TLBs of one level of a processor in up to six boxes, and the
// three buttons that choose the level.
#pragma once

#include <QWidget>
#include <array>
#include <cstddef>

struct tProcessorRecords;
class QGroupBox;
class QLabel;
class QPushButton;
class TExtEdit;

class TCachePage : public QWidget {
  Q_OBJECT

 public:
  explicit TCachePage(QWidget* parent);

  // Shows level 1 to 3 as the three functions below do; any other level changes nothing.
  void ShowLevel(const tProcessorRecords& records, unsigned slot, int level);
  // Level 1: data and instruction (or trace) caches and the four TLBs, all six boxes.
  void ShowLevel1Cache(const tProcessorRecords& records, unsigned slot);
  // Level 2: the cache of one level-2 unit and the four TLBs; the second box is hidden.
  void ShowLevel2Cache(const tProcessorRecords& records, unsigned slot);
  // Level 3: the cache alone, in the first box.
  void ShowLevel3Cache(const tProcessorRecords& records, unsigned slot);
  // Enables the Level 2 and Level 3 buttons when the processor has those caches; Level 1 is
  // always enabled.
  void SetViewButtons(const tProcessorRecords& records, unsigned slot);

 signals:
  // A level button was pressed: 1 to 3.
  void LevelClicked(int level);

 private:
  static constexpr std::size_t kBoxes = 6;
  static constexpr std::size_t kRows = 4;

  struct tBox {
    QGroupBox* Group = nullptr;
    std::array<QLabel*, kRows> Captions{};  // boxes 3 to 6 have two rows
    std::array<TExtEdit*, kRows> Values{};
  };

  std::array<tBox, kBoxes> boxes_{};
  std::array<QPushButton*, 3> buttons_{};
};
