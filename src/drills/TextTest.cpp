// SPDX-License-Identifier: GPL-3.0-or-later
#include "drills/TextTest.h"

bool CTextTest::Play(const std::string& text)
{
    ReleaseStream(false);
    m_bStopped = false;
    SetFixedText(text);
    BeginTest();
    if (PrepareText(Freq(), DotMs()) != 0)
        return false;
    if (StartWave(WaveOutWindow{m_pContext, this}, Freq(), DotMs()) != 0) {
        ClosePhraseFile();
        return false;
    }
    BeginPlaying();
    return true;
}

void CTextTest::Stop()
{
    if (!EndPlaying())
        return;
    m_bStopped = true;
    // During the start pause nothing was written and no close follows.
    ReleaseStream(true);
}

void CTextTest::OnStreamClosed()
{
    ClosePhraseFile();
    if (onEnded)
        onEnded();
}

void CTextTest::OnStreamFailed(bool)
{
    ClosePhraseFile();
    if (onFailed)
        onFailed();
}

void CTextTest::OnStreamNotOpened() { OnStreamFailed(false); }

QString CTextTest::NoDeviceText()
{
    return QStringLiteral("音声出力デバイスを開けませんでした。\nサウンドの設定を確かめてから、もう一度開始を押してください。");
}
