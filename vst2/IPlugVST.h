#pragma once
// Presents the plug-in core to a VST2 host. The host calls the module's entry point with its
// callback and receives the descriptor that lives inside this object; from then on it drives
// the instance through the descriptor's entries: the dispatcher (one function taking an
// operation number), three process entries and set/get parameter. The instance talks back
// through the host callback: automation, begin/end edit, time information, MIDI out.
//
// Threads: hosts call the dispatcher from their main thread and the process entries from
// their audio thread, and some call set-parameter from anywhere. Every entry holds the
// plug-in lock for its whole duration, so they never overlap; callbacks made from inside an
// entry run with the lock held.
//
// Hosts call in many orders. What this adapter makes of the unusual ones:
// - processing before any set-up (no sample rate, block size or activation): the instrument
//   is reset once, at the first process call, and plays at the default 44100 Hz;
// - blocks longer than the announced block size: rendered in pieces of the announced size,
//   MIDI offsets carrying over;
// - a block size of 0 or below, or a sample rate that is not a positive number: ignored, the
//   previous value stays;
// - close without deactivation: the instance waits for a running entry, then goes.

#include "framework/IPlugBase.h"
#include "framework/IdleRunLoop.h"
#include "vst2/Vst2Abi.h"

#include <vector>

class IPlugVST : public IPlugBase
{
public:
    struct HostContext
    {
        Vst2HostCallback callback = nullptr;
    };

    // The largest block the scratch buffers are sized for; longer announcements are limited
    // to it (longer blocks are still rendered, in pieces).
    static constexpr int kMaxBlockFrames = 65536;
    static constexpr int kDefaultBlockFrames = 1024;
    // A set-chunk larger than this is no state of this product and is refused unread.
    static constexpr intptr_t kMaxChunkBytes = 16 * 1024 * 1024;

    IPlugVST(const HostContext& host, const PluginConfig& config);
    // [the host's main thread, from dispatcher operation 1]
    ~IPlugVST() override;

    // The descriptor handed to the host; valid until operation 1 deletes the instance.
    Vst2Descriptor* Descriptor() { return &mDescriptor; }

    // The dispatcher: every operation runs under the plug-in lock; operation 1 leaves it
    // before deleting the instance. 0 without an instance.
    // [main thread, takes the plug-in lock]
    static intptr_t VSTDispatcher(Vst2Descriptor* descriptor, int32_t operation, int32_t index,
                                  intptr_t value, void* pointer, float option);

    // ---- IPlugBase operations served by the host ---------------------------------------

    // [window thread] callback 43
    void BeginParameterEdit(int paramIndex) override;
    // [window thread, under the plug-in lock] callback 0
    void NotifyHostOfParameterChange(int paramIndex, double normalizedValue) override;
    // [window thread] callback 44
    void EndParameterEdit(int paramIndex) override;
    // [window thread or host thread] callback 42
    void NotifyHostOfPresetChange() override;
    // [audio thread, under the plug-in lock] callback 23
    bool RendersOffline() override;
    // [audio thread, under the plug-in lock] callback 7
    double GetSamplePosition() override;
    // [audio thread, under the plug-in lock] callback 7
    double QueryTempo() override;
    // [audio thread, under the plug-in lock] callback 7
    void GetTimeSignature(int& numerator, int& denominator) override;
    // [audio thread, under the plug-in lock] callback 7
    void GetTimeInfo(TimeInfo& info) override;
    // [any thread] asks the host (callbacks 33 and 34) the first time.
    HostId HostIdentity() override;
    // [main thread, under the plug-in lock] from operation 0, the first time only.
    void InitForHost() override;
    // [main thread, takes the plug-in lock] also reported in the descriptor.
    void SetLatency(int latencySamples) override;
    // [constructing thread, takes the plug-in lock] with a window layer, also announces the
    // editor (flag 0x1) and its rectangle.
    void AttachEditor(std::unique_ptr<EditorLink> editor) override;
    // [window thread] the rectangle follows the editor's size; the host is not asked.
    void ResizeEditor(int width, int height) override;
    // [audio thread, under the plug-in lock] callback 8
    bool SendMidiMessage(const MidiMessage& message) override;
    // [audio thread, under the plug-in lock] callback 8
    bool SendSysExMessage(const SysExMessage& message) override;

private:
    // ---- Entries of the descriptor (each takes the plug-in lock) ------------------------
    // [audio thread]
    static void ProcessReplacingEntry(Vst2Descriptor* descriptor, float** inputs, float** outputs,
                                      int32_t frames);
    // [audio thread]
    static void ProcessAccumulatingEntry(Vst2Descriptor* descriptor, float** inputs, float** outputs,
                                         int32_t frames);
    // [audio thread]
    static void ProcessDoubleReplacingEntry(Vst2Descriptor* descriptor, double** inputs, double** outputs,
                                            int32_t frames);
    // [any host thread]
    static void SetParameterEntry(Vst2Descriptor* descriptor, int32_t index, float value);
    // [any host thread]
    static float GetParameterEntry(Vst2Descriptor* descriptor, int32_t index);
    static IPlugVST* Instance(Vst2Descriptor* descriptor);

    // One dispatcher operation, with the lock held.
    intptr_t Dispatch(int32_t operation, int32_t index, intptr_t value, void* pointer, float option);
    intptr_t DispatchParameterText(int32_t operation, int32_t index, void* pointer);
    intptr_t DispatchSetUp(int32_t operation, intptr_t value, float option);
    intptr_t DispatchPrograms(int32_t operation, int32_t index, intptr_t value, void* pointer);
    intptr_t DispatchIdentity(int32_t operation, void* pointer);
    intptr_t DispatchChannels(int32_t operation, int32_t index, intptr_t value, void* pointer);
    // Operations 13 to 15 and 19, only for an editor that can open windows.
    intptr_t DispatchEditor(int32_t operation, void* pointer);

    void Open();
    intptr_t StringToParameter(int32_t index, const char* text);
    intptr_t VendorSpecific(int32_t index, intptr_t value, void* pointer, float option);
    intptr_t CanDo(const char* text) const;
    intptr_t PinProperties(bool input, int32_t index, Vst2PinProperties* pin);
    void ConnectFromArrangement(bool input, const Vst2SpeakerArrangement* arrangement);
    intptr_t MidiKeyName(Vst2MidiKeyName* record);
    intptr_t ReceiveEvents(const Vst2EventList* events);

    // Chunks: header and state (single program) or header and bank; byte-exact with the
    // core's chunk code. Loading is all or nothing.
    intptr_t GetChunk(bool singleProgram, void** data);
    intptr_t SetChunk(bool singleProgram, intptr_t size, const void* data);

    // Processing: resets the instrument first when the host never set it up, then renders
    // the host's block in pieces of at most the block size.
    void EnsureProcessingReady();
    void ResetForHost();
    void ProcessFloat(float** inputs, float** outputs, int frames, bool accumulate);
    void ProcessDouble(double** inputs, double** outputs, int frames);
    // Takes the lock, asks for MIDI, then hands renderPiece (frames) each piece of the host's
    // block in turn, with the piece pointers pointing into the host's buffers.
    template <typename Sample, typename RenderPiece>
    void RenderInPieces(Sample** inputs, Sample** outputs, int frames, std::vector<Sample*>& inputPieces,
                        std::vector<Sample*>& outputPieces, RenderPiece renderPiece);

    // Sends one event to the host (callback 8); true when the host takes it.
    bool SendEventToHost(Vst2Event* event);
    intptr_t Callback(int32_t operation, int32_t index = 0, intptr_t value = 0, void* pointer = nullptr,
                      float option = 0.0f);
    const Vst2TimeInfo* HostTime(int32_t mask);
    void CopyChannelCountsToHostRecords();
    int32_t DecimalVersion() const;

    Vst2Rect mEditorRect{};
    // What drives an editor window that needs the host's loop (X11): the host's editor-idle
    // calls. The window is closed before this goes (see the destructor).
    IdleRunLoop mEditorIdle;
    Vst2HostCallback mHostCallback = nullptr;
    Vst2SpeakerArrangement mInputArrangement{};
    Vst2SpeakerArrangement mOutputArrangement{};
    bool mHostSetUpDone = false;
    ChunkBuffer mProgramChunk;
    ChunkBuffer mBankChunk;
    Vst2Descriptor mDescriptor{};

    bool mProcessingReady = false;
    // One host buffer pointer per channel for the piece being rendered; sized once.
    std::vector<float*> mFloatInputs;
    std::vector<float*> mFloatOutputs;
    std::vector<double*> mDoubleInputs;
    std::vector<double*> mDoubleOutputs;
};
