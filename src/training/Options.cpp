#include "training/Options.h"

#include <QSettings>

#include <algorithm>

TrainingOptions TrainingOptions::Clamped() const
{
    TrainingOptions o = *this;
    o.nEdgeMs = std::clamp(o.nEdgeMs, 1, 10);
    o.nKochLesson = std::max(o.nKochLesson, 0);
    o.nEffectiveWpm = o.nEffectiveWpm < 5 ? 0 : std::min(o.nEffectiveWpm, 119);
    return o;
}

int TrainingOptions::EffectiveWpmAt(int nWpm) const
{
    return nEffectiveWpm >= 5 && nEffectiveWpm < nWpm ? nEffectiveWpm : 0;
}


TrainingOptions TrainingOptions::Load()
{
    QSettings s(QStringLiteral("Local AppWizard-Generated Applications"), QStringLiteral("Dravik"));
    TrainingOptions o;
    o.eToneShape = s.value(kKeyToneShape).toString() == QStringLiteral("shaped") ? ToneShape::Shaped : ToneShape::Square;
    o.nEdgeMs = s.value(kKeyEdgeMs, o.nEdgeMs).toInt();
    o.nEffectiveWpm = s.value(kKeyEffectiveWpm, o.nEffectiveWpm).toInt();
    o.nKochLesson = s.value(kKeyKochLesson, o.nKochLesson).toInt();
    o.bWeightWeak = s.value(kKeyWeightWeak, o.bWeightWeak).toBool();
    return o.Clamped();
}

void TrainingOptions::Save() const
{
    QSettings s(QStringLiteral("Local AppWizard-Generated Applications"), QStringLiteral("Dravik"));
    s.setValue(kKeyToneShape, eToneShape == ToneShape::Shaped ? QStringLiteral("shaped") : QStringLiteral("square"));
    s.setValue(kKeyEdgeMs, nEdgeMs);
    s.setValue(kKeyEffectiveWpm, nEffectiveWpm);
    s.setValue(kKeyKochLesson, nKochLesson);
    s.setValue(kKeyWeightWeak, bWeightWeak);
}
