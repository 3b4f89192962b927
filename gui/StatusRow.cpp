#include "StatusRow.h"

#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QStringList>
#include <cmath>

#include "Colours.h"
#include "QtText.h"
#include "ShownText.h"

namespace client {
namespace {

constexpr int kBarSteps = 1000;
const QString kDash = QString::fromUtf8(" – ");

QLocale Bokmal() { return QLocale(QLocale::NorwegianBokmal, QLocale::Norway); }

QString Count(std::uintmax_t bytes) { return Bokmal().toString(static_cast<qulonglong>(bytes)); }

QString Rate(double bytesPerSecond) {
  const double rate = std::max(0.0, bytesPerSecond);
  const QLocale nb = Bokmal();
  if (std::lround(rate) < 1000) return nb.toString(std::lround(rate)) + " B/s";
  if (rate < 9950) return nb.toString(rate / 1000, 'f', 1) + " kB/s";
  if (rate < 999500) return nb.toString(std::lround(rate / 1000)) + " kB/s";
  return nb.toString(rate / 1e6, 'f', 1) + " MB/s";
}

// "2:41", or "1:02:41" from an hour on.
QString Duration(long long seconds) {
  const long long hours = seconds / 3600;
  const QString rest = QString("%1:%2")
                           .arg(hours == 0 ? seconds / 60 : seconds / 60 % 60, hours == 0 ? 1 : 2,
                                10, QLatin1Char('0'))
                           .arg(seconds % 60, 2, 10, QLatin1Char('0'));
  return hours == 0 ? rest : QString::number(hours) + ":" + rest;
}

}  // namespace

QString ProgressLine(const ProgressView& view) {
  QStringList parts;
  if (const auto& size = view.size; view.share && size) {
    parts << QString::number(static_cast<int>(std::floor(*view.share * 100))) + " %"
          << Count(view.bytes) + " av " + Count(*size) + " bytes";
  } else {
    parts << Count(view.bytes) + " bytes";
  }
  if (view.stalled) {
    parts << QString::fromUtf8("står stille");
  } else if (view.bytesPerSecond) {
    parts << Rate(*view.bytesPerSecond);
    if (view.timeLeft) parts << Duration(view.timeLeft->count()) + " igjen";
  } else {
    parts << "beregner hastighet";
  }
  return parts.join(kDash);
}

StatusRow::StatusRow(QProgressBar& bar, QLabel& label) : bar_(bar), label_(label) {
  bar_.setTextVisible(false);
  bar_.setAccessibleName("Fremdrift");
  label_.setAccessibleName("Fremdrift");
  Render();
}

void StatusRow::ShowTarget(const QString& program, const QString& machine) {
  target_ = (program.isEmpty() ? QString("Intet program valgt")
                               : QString("Valgt program: ") + OnOneLine(program)) +
            QString::fromUtf8(" → maskin ") + OnOneLine(machine);
  Render();
}

void StatusRow::ShowReply(const QString& reply, const QTime& at) {
  done_.reset();
  if (reply == "OK") {
    refusal_.reset();
  } else {
    refusal_ = "Avvist " + at.toString("HH:mm") + kDash + OnOneLine(reply);
  }
  Render();
}

bool StatusRow::ShowProgress(const std::optional<ProgressView>& progress, const QTime& now) {
  bool ended = false;
  if (progress) {
    if (!moving_) since_.start();
    moving_ = progress;
  } else if (moving_) {
    if (lastStatus_.Done()) {
      const auto bytes = ParseByteCount(lastStatus_.bytes).value_or(moving_->bytes);
      done_ = "Ferdig" + kDash + Count(bytes) + QString::fromUtf8(" bytes på ") +
              Duration(since_.elapsed() / 1000) + " (" + now.toString("HH:mm") + ")";
      ended = true;
    }
    moving_.reset();
  }
  Render();
  return ended;
}

platform::TaskbarState StatusRow::TaskbarState() const {
  if (moving_) {
    return moving_->stalled ? platform::TaskbarState::Paused : platform::TaskbarState::Normal;
  }
  return refusal_ ? platform::TaskbarState::Error : platform::TaskbarState::None;
}

int StatusRow::Percent() const {
  return moving_ && moving_->share ? static_cast<int>(*moving_->share * 100) : 0;
}

void StatusRow::Render() {
  QString text;
  QColor colour;  // the window's text colour unless set
  QColor barColour;
  bool bar = true;
  if (moving_) {
    text = ProgressLine(*moving_);
    if (moving_->share) {
      bar_.setRange(0, kBarSteps);
      bar_.setValue(static_cast<int>(*moving_->share * kBarSteps));
    } else {
      bar_.setRange(0, 0);  // busy: the size is not known
    }
    if (moving_->stalled) colour = barColour = colours::kStalled;
  } else if (refusal_) {
    text = *refusal_;
    colour = colours::kRefused;
    bar = false;
  } else if (done_) {
    text = *done_;
    bar_.setRange(0, kBarSteps);
    bar_.setValue(kBarSteps);
    barColour = colours::kOk;
  } else {
    text = target_;
    colour = colours::kQuiet;
    bar = false;
  }
  QPalette palette = bar_.palette();
  palette.setColor(QPalette::Highlight,
                   barColour.isValid() ? barColour : QPalette().color(QPalette::Highlight));
  bar_.setPalette(palette);
  bar_.setVisible(bar);
  colours::PaintText(label_, colour);
  ShowElided(label_, text, moving_ || done_ ? Qt::ElideRight : Qt::ElideMiddle);
  label_.setAccessibleDescription(text);
  bar_.setAccessibleDescription(text);
}

}  // namespace client
