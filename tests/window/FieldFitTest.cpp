// Every value the window shows stays whole in its field: the first processor of every public
// listing and of every dump in the fixtures, on the Processor, Cache and Topology pages. Run
// at scale 1 by the suite, and again at scale 2 and at 120 DPI (tests/window/CMakeLists.txt).
//
// A field's text is whole when it draws as much ink as the same text, font and look in a
// field wide enough for any text: the edit control scrolls a text wider than its room and
// cuts off its first characters.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "engine/listings/Listings.h"
#include "platform/ReplayProcessorServices.h"
#include "tests/window/MainWindowFixture.h"
#include "ui/ExtEdit.h"

namespace {

const QString kFixtures = QStringLiteral(LUMARIAN_FIXTURES);

// The first processor of every listing of a fixture folder.
void AddFirstProcessors(const QString& folder, const QStringList& patterns,
                        std::vector<platform::tCpuidRecording>& recordings) {
  const QDir dir(kFixtures + "/" + folder);
  for (const QString& name : dir.entryList(patterns, QDir::Files, QDir::Name)) {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::ReadOnly)) continue;
    const QByteArray bytes = file.readAll();
    const tListingRead read =
        ReadListing(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (const auto* stores = std::get_if<std::vector<tCpuidStore>>(&read)) {
      if (!stores->empty()) recordings.push_back(RecordingOf(stores->front()));
    }
  }
}

// The columns from the first to the last that differ from `background` inside the frame, in
// device pixels; 0 for no ink.
int InkWidth(const QImage& image, QRgb background, int inset) {
  int first = image.width(), last = -1;
  for (int y = inset; y < image.height() - inset; ++y) {
    for (int x = inset; x < image.width() - inset; ++x) {
      if (image.pixel(x, y) == background) continue;
      first = std::min(first, x);
      last = std::max(last, x);
    }
  }
  return last < first ? 0 : last - first + 1;
}

struct tInk {
  int Drawn = 0;  // the field's
  int Whole = 0;  // the wide field's
  int Slack = 0;  // what placing the text at another fraction of a pixel may change
};

// The ink of the field's text as the field draws it, and as a field of 600 pixels draws it.
tInk InkOf(TExtEdit& field) {
  QLineEdit wide;
  wide.setFrame(field.hasFrame());
  wide.setReadOnly(true);
  wide.setAlignment(field.alignment());
  wide.setFont(field.font());
  wide.setPalette(field.palette());
  wide.setEnabled(field.isEnabled());
  wide.setText(field.text());
  wide.resize(600, field.height());
  const QImage wideImage = wide.grab().toImage();
  const QImage image = field.grab().toImage();
  const qreal ratio = image.devicePixelRatio();
  // Inside the frame, where the wide field's text does not reach: its background.
  const int inset = static_cast<int>(3 * ratio + 0.5);
  const QRgb background = wideImage.pixel(inset + 1, wideImage.height() / 2);
  return {InkWidth(image, background, inset), InkWidth(wideImage, background, inset),
          static_cast<int>(2 * ratio + 0.5)};
}

TEST(FieldFit, EveryFixturesValuesStayWholeInTheirFields) {
  std::vector<platform::tCpuidRecording> recordings;
  AddFirstProcessors("full", {"*"}, recordings);
  AddFirstProcessors("cpuid", {"*.txt"}, recordings);
  ASSERT_GT(recordings.size(), 250u);
  tTestWindow window(
      [recordings] { return std::make_unique<platform::cReplayProcessorServices>(recordings); });
  auto* selector = window.Find<QComboBox>("CpuSelectionV");
  ASSERT_NE(selector, nullptr);
  const QList<TExtEdit*> fields = window.Window().findChildren<TExtEdit*>();
  const char* const levels[] = {"level1bt", "level2bt", "level3bt"};

  int checked = 0, shrunk = 0;
  std::set<QString> measured;
  for (int slot = 0; slot < selector->count(); ++slot) {
    selector->setCurrentIndex(slot);
    for (const char* level : levels) {
      auto* button = window.Find<QPushButton>(level);
      ASSERT_NE(button, nullptr);
      if (button->isEnabled()) button->click();
      for (TExtEdit* field : fields) {
        if (field->text().isEmpty()) continue;
        // A field that shows what it showed before, as it did, is not measured again.
        const QString look = QStringLiteral("%1|%2|%3|%4")
                                 .arg(field->objectName(), field->text())
                                 .arg(field->isEnabled())
                                 .arg(field->font().pixelSize());
        if (!measured.insert(look).second) continue;
        const tInk ink = InkOf(*field);
        ++checked;
        if (field->font() != field->OwnFont()) ++shrunk;
        EXPECT_LE(ink.Whole - ink.Drawn, ink.Slack)
            << "slot " << slot << ", " << field->objectName().toStdString() << " \""
            << field->text().toStdString() << "\" is cut off";
      }
    }
    if (HasFailure()) break;
  }
  EXPECT_GT(checked, 500);
  EXPECT_GT(shrunk, 0) << "no value needed a smaller font: the check measures nothing";
  std::printf("%d looks measured, %d drawn smaller\n", checked, shrunk);
}

TEST(FieldFit, AFieldTakesItsOwnFontBackForATextThatFits) {
  TExtEdit field;
  QFont own = field.font();
  own.setPixelSize(11);
  field.setFont(own);
  field.resize(79, 21);
  field.setText(QStringLiteral("32768 KBytes 32768 KBytes"));
  EXPECT_LT(field.font().pixelSize(), 11);
  field.setText(QStringLiteral("64 KB"));
  EXPECT_EQ(field.font().pixelSize(), 11);
  // A later font of the owner is the one it falls back to.
  own.setPixelSize(12);
  field.setFont(own);
  EXPECT_EQ(field.OwnFont().pixelSize(), 12);
  EXPECT_EQ(field.font().pixelSize(), 12);
}

}  // namespace
