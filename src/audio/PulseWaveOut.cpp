// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/PulseWaveOut.h"
#include "audio/DeviceThread.h"
#include "audio/SdlWaveOut.h"

#include <QByteArray>

#include <pulse/pulseaudio.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

struct PulseStream : KeyedStream {
    // Made on the GUI thread and freed on the device thread, after which
    // nothing touches it. Everything else under the loop's lock.
    pa_threaded_mainloop* pLoop = nullptr;
    pa_context* pContext = nullptr;
    pa_stream* pStream = nullptr;
    pa_sample_spec spec{};
    pa_buffer_attr attr{};
};

// The callbacks run on the loop's thread, under its lock.

static void MarkFailed(PulseStream& s)
{
    if (s.bOpen)
        s.bDeviceFailed = true;
    else
        s.bOpenFailed = true;
}

static void OnWrite(pa_stream* st, size_t nBytes, void* userdata)
{
    auto& s = *static_cast<PulseStream*>(userdata);
    // The server's play-out position, interpolated between its timing
    // updates: which of the samples written is heard now.
    pa_usec_t usec = 0;
    if (pa_stream_get_time(st, &usec) == 0)
        s.SetHeard(static_cast<long long>(usec * s.spec.rate / 1000000));
    while (nBytes >= sizeof(int16_t)) {
        void* data = nullptr;
        size_t n = nBytes;
        if (pa_stream_begin_write(st, &data, &n) < 0 || !data || n < sizeof(int16_t))
            return;
        n -= n % sizeof(int16_t);
        s.Fill(static_cast<int16_t*>(data), int(n / sizeof(int16_t)));
        if (pa_stream_write(st, data, n, nullptr, 0, PA_SEEK_RELATIVE) < 0)
            return;
        nBytes -= std::min(n, nBytes);
    }
}

static void OnStreamState(pa_stream* st, void* userdata)
{
    auto& s = *static_cast<PulseStream*>(userdata);
    switch (pa_stream_get_state(st)) {
    case PA_STREAM_READY:
        // The server may grant another length than asked for.
        if (const pa_buffer_attr* attr = pa_stream_get_buffer_attr(st)) {
            std::lock_guard lock(s.mutex);
            s.nHeldByServer = attr->tlength / sizeof(int16_t);
        }
        s.llLastFillMs = SteadyNowMs();
        s.bOpen = true;
        break;
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED:
        MarkFailed(s);
        break;
    default:
        break;
    }
}

static void OnContextState(pa_context* ctx, void* userdata)
{
    auto& s = *static_cast<PulseStream*>(userdata);
    switch (pa_context_get_state(ctx)) {
    case PA_CONTEXT_READY: {
        s.pStream = pa_stream_new(ctx, "Morse tone", &s.spec, nullptr);
        if (!s.pStream) {
            MarkFailed(s);
            break;
        }
        pa_stream_set_state_callback(s.pStream, &OnStreamState, &s);
        pa_stream_set_write_callback(s.pStream, &OnWrite, &s);
        if (pa_stream_connect_playback(s.pStream, nullptr, &s.attr,
                                       pa_stream_flags_t(PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE),
                                       nullptr, nullptr) < 0)
            MarkFailed(s);
        break;
    }
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        MarkFailed(s);
        break;
    default:
        break;
    }
}

// On the device thread.
static void TearDown(PulseStream& s)
{
    if (!s.pLoop)
        return;
    pa_threaded_mainloop_lock(s.pLoop);
    if (s.pStream) {
        pa_stream_set_write_callback(s.pStream, nullptr, nullptr);
        pa_stream_set_state_callback(s.pStream, nullptr, nullptr);
        pa_stream_disconnect(s.pStream);
        pa_stream_unref(s.pStream);
        s.pStream = nullptr;
    }
    if (s.pContext) {
        pa_context_set_state_callback(s.pContext, nullptr, nullptr);
        pa_context_disconnect(s.pContext);
        pa_context_unref(s.pContext);
        s.pContext = nullptr;
    }
    pa_threaded_mainloop_unlock(s.pLoop);
    pa_threaded_mainloop_stop(s.pLoop);
    pa_threaded_mainloop_free(s.pLoop);
    s.pLoop = nullptr;
    s.bOpen = false;
}

bool CPulseWaveOut::ServerPresent()
{
    if (!qEnvironmentVariableIsEmpty("PULSE_SERVER"))
        return true;
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.isEmpty())
        return false;
    // A socket left by a server that died refuses at once; SDL then finds
    // another way out. A connect to a local socket does not wait.
    const QByteArray path = runtime + "/pulse/native";
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (size_t(path.size()) >= sizeof addr.sun_path)
        return false;
    std::memcpy(addr.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool bListening = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0
        || errno == EAGAIN || errno == EINPROGRESS;
    ::close(fd);
    return bListening;
}

CPulseWaveOut* CPulseWaveOut::Open(const WAVEFORMATEX& format, WaveOutWindow window, const ToneShaping& shaping)
{
    if (!IsKeyedFormat(format))
        return nullptr;
    auto stream = std::make_shared<PulseStream>();
    auto* self = new CPulseWaveOut(window, stream, shaping);
    const auto bytesFor = [rate = self->Rate()](int ms) { return uint32_t(rate * ms / 1000 * sizeof(int16_t)); };
    stream->spec = {PA_SAMPLE_S16NE, uint32_t(self->Rate()), 1};
    stream->attr.maxlength = uint32_t(-1);
    stream->attr.tlength = bytesFor(kServerBufferMs);
    stream->attr.prebuf = uint32_t(-1);
    stream->attr.minreq = bytesFor(kRequestMs);
    stream->attr.fragsize = uint32_t(-1);
    stream->nHeldByServer = size_t(self->Rate()) * kServerBufferMs / 1000;
    stream->pLoop = pa_threaded_mainloop_new();
    if (!stream->pLoop) {
        stream->bOpenFailed = true;
    } else {
        // Connecting may wait for the server: on the device thread.
        CAudioDeviceThread::Instance().Post([stream] {
            // A server that goes away must fail a write, not end us.
            std::signal(SIGPIPE, SIG_IGN);
            PulseStream& s = *stream;
            pa_threaded_mainloop_lock(s.pLoop);
            s.pContext = pa_context_new(pa_threaded_mainloop_get_api(s.pLoop), "Dravik");
            if (s.pContext) {
                pa_context_set_state_callback(s.pContext, &OnContextState, &s);
                if (pa_context_connect(s.pContext, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
                    s.bOpenFailed = true;
            } else {
                s.bOpenFailed = true;
            }
            pa_threaded_mainloop_unlock(s.pLoop);
            if (!s.bOpenFailed && pa_threaded_mainloop_start(s.pLoop) < 0)
                s.bOpenFailed = true;
        });
    }
    self->StartWatch();
    return self;
}

PulseStream& CPulseWaveOut::Stream() const { return static_cast<PulseStream&>(*m_pStream); }

void CPulseWaveOut::PostTearDown()
{
    CAudioDeviceThread::Instance().Post([stream = std::static_pointer_cast<PulseStream>(m_pStream)] {
        TearDown(*stream);
    });
}

CPulseWaveOut::~CPulseWaveOut()
{
    Detach();
    PostTearDown();
}

void CPulseWaveOut::DropDevice()
{
    if (m_bDropped)
        return;
    m_bDropped = true;
    // The loop holds its lock only while it handles an event, never while
    // it waits for the server: this does not keep the GUI waiting. What
    // the server holds is dropped at once, and the stream goes.
    PulseStream& s = Stream();
    if (s.pLoop) {
        pa_threaded_mainloop_lock(s.pLoop);
        if (s.pStream) {
            if (pa_operation* op = pa_stream_flush(s.pStream, nullptr, nullptr))
                pa_operation_unref(op);
            pa_stream_set_write_callback(s.pStream, nullptr, nullptr);
            pa_stream_set_state_callback(s.pStream, nullptr, nullptr);
            pa_stream_disconnect(s.pStream);
        }
        pa_threaded_mainloop_unlock(s.pLoop);
    }
    PostTearDown();
}

bool PreferPulse(const QByteArray& choice, const QByteArray& sdlDriver, bool bServerPresent)
{
    if (!choice.isEmpty())
        return choice == "pulse";
    return (sdlDriver.isEmpty() || sdlDriver.startsWith("pulse") || sdlDriver.startsWith("pipewire"))
        && bServerPresent;
}

IWaveOut* OpenSoundDevice(const WAVEFORMATEX& format, WaveOutWindow window, const ToneShaping& shaping)
{
    if (PreferPulse(qgetenv("DRAVIK_AUDIO"), qgetenv("SDL_AUDIODRIVER"), CPulseWaveOut::ServerPresent()))
        return CPulseWaveOut::Open(format, window, shaping);
    return CSdlWaveOut::Open(format, window, shaping);
}
