// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/WaveOut.h"

CWaveOutBase::CWaveOutBase(WaveOutWindow window)
    : m_pContext(window.pContext), m_pClient(window.pClient)
{
}

MMRESULT CWaveOutBase::PrepareHeader(WAVEHDR* pwh)
{
    if (!pwh)
        return MMSYSERR_INVALPARAM;
    pwh->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT CWaveOutBase::UnprepareHeader(WAVEHDR* pwh)
{
    if (!pwh)
        return MMSYSERR_INVALPARAM;
    if (pwh->dwFlags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    pwh->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT CWaveOutBase::Write(WAVEHDR* pwh)
{
    if (!pwh)
        return MMSYSERR_INVALPARAM;
    if (!(pwh->dwFlags & WHDR_PREPARED))
        return WAVERR_UNPREPARED;
    // One header at a time: a second write before the done is refused.
    if (m_pHeader || (pwh->dwFlags & WHDR_INQUEUE))
        return WAVERR_STILLPLAYING;
    MMRESULT r = Enqueue(pwh->lpData, pwh->dwBufferLength);
    if (r != MMSYSERR_NOERROR)
        return r;
    pwh->dwFlags = (pwh->dwFlags | WHDR_INQUEUE) & ~WHDR_DONE;
    m_pHeader = pwh;
    return MMSYSERR_NOERROR;
}

void CWaveOutBase::ReturnHeader()
{
    if (m_pHeader)
        m_pHeader->dwFlags = (m_pHeader->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    m_pHeader = nullptr;
}

void CWaveOutBase::PostDone()
{
    QMetaObject::invokeMethod(this, [this] {
        ReturnHeader();
        if (m_pContext)
            m_pClient->OnWomDone(this);
    }, Qt::QueuedConnection);
}

void CWaveOutBase::PostClose()
{
    QMetaObject::invokeMethod(this, [this] {
        if (m_pContext)
            m_pClient->OnWomClose(this);
        delete this;
    }, Qt::QueuedConnection);
}

void CWaveOutBase::PostError()
{
    QMetaObject::invokeMethod(this, [this] {
        if (m_pContext)
            m_pClient->OnWomError(this);
    }, Qt::QueuedConnection);
}

static WaveOutFactory& Factory()
{
    static WaveOutFactory s_factory;
    return s_factory;
}

void SetWaveOutFactory(WaveOutFactory factory) { Factory() = std::move(factory); }

MMRESULT waveOutOpen(HWAVEOUT* phwo, unsigned, const WAVEFORMATEX* pwfx, WaveOutWindow window,
                     uintptr_t, uint32_t, const ToneShaping& shaping)
{
    if (!phwo || !pwfx)
        return MMSYSERR_INVALPARAM;
    *phwo = Factory() ? Factory()(*pwfx, window, shaping) : nullptr;
    return *phwo ? MMSYSERR_NOERROR : MMSYSERR_BADDEVICEID;
}

MMRESULT waveOutSetVolume(HWAVEOUT hwo, uint32_t dwVolume)
{
    return hwo ? hwo->SetVolume(dwVolume) : MMSYSERR_INVALHANDLE;
}

MMRESULT waveOutPrepareHeader(HWAVEOUT hwo, WAVEHDR* pwh, unsigned cbwh)
{
    if (cbwh != sizeof(WAVEHDR))
        return MMSYSERR_INVALPARAM;
    return hwo ? hwo->PrepareHeader(pwh) : MMSYSERR_INVALHANDLE;
}

MMRESULT waveOutUnprepareHeader(HWAVEOUT hwo, WAVEHDR* pwh, unsigned cbwh)
{
    if (cbwh != sizeof(WAVEHDR))
        return MMSYSERR_INVALPARAM;
    return hwo ? hwo->UnprepareHeader(pwh) : MMSYSERR_INVALHANDLE;
}

MMRESULT waveOutWrite(HWAVEOUT hwo, WAVEHDR* pwh, unsigned cbwh)
{
    if (cbwh != sizeof(WAVEHDR))
        return MMSYSERR_INVALPARAM;
    return hwo ? hwo->Write(pwh) : MMSYSERR_INVALHANDLE;
}

MMRESULT waveOutReset(HWAVEOUT hwo) { return hwo ? hwo->Reset() : MMSYSERR_INVALHANDLE; }

MMRESULT waveOutClose(HWAVEOUT hwo) { return hwo ? hwo->Close() : MMSYSERR_INVALHANDLE; }

MMRESULT waveOutPlayAhead(HWAVEOUT hwo, std::unique_ptr<IKeyedSource> source)
{
    if (!hwo)
        return MMSYSERR_INVALHANDLE;
    hwo->PlayAhead(std::move(source));
    return MMSYSERR_NOERROR;
}
