// Named events and message queues by which the deliverables wake each other. An event created
// under an existing name is the existing event, unchanged, so every side may create it.
#pragma once

// Manual reset, created set: the control panel sets it after saving the AnswerMachine key; the
// answering service's worker waits on it, resets it and rereads its settings.
inline constexpr wchar_t kEventAnswerMachineService[] = L"Answer Machine Service Event";
// Manual reset, created set: the control panel sets it after saving the Callisk key; the
// call-recording service's worker waits on it and rereads its settings.
inline constexpr wchar_t kEventPhoneRecordService[] = L"Phone Record Service Event";
// Manual reset, created set: the control panel sets it after saving the Overdub key; the outside
// sound mixer waits on it.
inline constexpr wchar_t kEventOverdubService[] = L"Overdub Service Event";
// Manual reset, created set: the answering service's monitor sets it to cancel a pending
// auto-answer; the service's timer thread waits on it.
inline constexpr wchar_t kEventAnswerMachineTimer[] = L"AnswerMachineTimerEvent";
// Manual reset, created set: any outside process may set it to answer the pending call at once;
// the answering service's timer thread waits on it.
inline constexpr wchar_t kEventAnswerMachineAnswerNow[] = L"AnswerMachineTimerEvent1";
// Manual reset, created set (the name is spelt so): the answering service sets it just before it
// answers; the call-recording service and the answering recorder program react and reset it.
inline constexpr wchar_t kEventRunningOxbane[] = L"Runing Oxbane Event";
// Manual reset, created set: the answering service sets it when it has finished with a call; the
// call-recording service and the answering recorder program react and reset it.
inline constexpr wchar_t kEventEndOxbane[] = L"End Oxbane Event";
// Manual reset: the control panel sets it to end its storage-card monitor thread.
inline constexpr wchar_t kEventMonitorStorageCard[] = L"MonitorStorageCardEvent";
// Auto reset, created clear: the platform's backlight settings set it when they change; the
// device-event listener waits on it.
inline constexpr wchar_t kEventBackLightChange[] = L"BackLightChangeEvent";

// Message queue fed by the registry notification on "KeyPad Lock"; the device-event listener
// creates it (10 messages of 20 bytes) and reads it.
inline constexpr wchar_t kQueueHardwareKeyLock[] = L"HardwareKeyLock";
// Message queue fed by the registry notification on "HeadSet Ring"; the device-event listener
// creates it (10 messages of 20 bytes) and reads it.
inline constexpr wchar_t kQueueRingToneHeadsetSpeakerState[] = L"RingToneHeadsetSpeakerState";
