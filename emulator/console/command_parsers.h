// The parsers of the grammar's commands (grammar.cpp names each in its row): each reads the words
// after the command's keywords and gives the command's record, or throws Unparsable.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "console/arguments.h"
#include "console/commands.h"

namespace tovarin::emulator::console {

// The device, the registry and files, the phone and sound (device_grammar.cpp).
RegValueRef TakeValueRef(Arguments& arguments);  // ROOT "KEY" "VALUE"
Command ParseWait(Arguments& arguments);
Command ParseRegSet(Arguments& arguments);
Command ParseRegDelete(Arguments& arguments);
Command ParseRegGet(Arguments& arguments);
Command ParseFileWrite(Arguments& arguments);
Command ParseFileDelete(Arguments& arguments);
Command ParseDiskFree(Arguments& arguments);
Command ParseCallIncoming(Arguments& arguments);
Command ParseCallSecond(Arguments& arguments);
Command ParseCallDial(Arguments& arguments);
Command ParseCallVoice(Arguments& arguments);
Command ParseMic(Arguments& arguments);
Command ParseSpeakerRecord(Arguments& arguments);
Command ParseKey(Arguments& arguments);
Command ParseEventSet(Arguments& arguments);
Command ParseMsgboxPress(Arguments& arguments);
Command ParseServiceDeinit(Arguments& arguments);
Command ParseServiceInit(Arguments& arguments);
Command ParsePowerAc(Arguments& arguments);
Command ParsePowerState(Arguments& arguments);

// The expectations on the device's state and on its log (expectation_grammar.cpp).
Command ParseExpectReg(Arguments& arguments);
Command ParseExpectFile(Arguments& arguments);
Command ParseExpectWindow(Arguments& arguments);
Command ParseExpectMsgbox(Arguments& arguments);
Command ParseExpectEvent(Arguments& arguments);
Command ParseExpectVolume(Arguments& arguments);
Command ParseExpectSound(Arguments& arguments);
Command ParseExpectNoSound(Arguments& arguments);
Command ParseExpectAmr(Arguments& arguments);
Command ParseExpectRunning(Arguments& arguments);
Command ParseExpectTrace(Arguments& arguments);
Command ParseExpectIoctl(Arguments& arguments);
Command ParseExpectNoIoctl(Arguments& arguments);
Command ParseExpectKey(Arguments& arguments);
Command ParseExpectStarted(Arguments& arguments);
Command ParseExpectMessage(Arguments& arguments);

// The screen and its controls (screen_grammar.cpp).
Command ParseScroll(Arguments& arguments);
Command ParseRotate(Arguments& arguments);
Command ParseScreenshot(Arguments& arguments);
Command ParseRun(Arguments& arguments);
Command ParseExpectForeground(Arguments& arguments);
Command ParseExpectControl(Arguments& arguments);
Command ParseClick(Arguments& arguments);
Command ParseChoose(Arguments& arguments);
Command ParseType(Arguments& arguments);
Command ParseTab(Arguments& arguments);
Command ParseTap(Arguments& arguments);
Command ParseDrag(Arguments& arguments);

// The shell around programs, and the contacts (shell_grammar.cpp).
Command ParseAppletOpen(Arguments& arguments);
Command ParseAppletList(Arguments& arguments);
Command ParseProgramStart(Arguments& arguments);
Command ParseProgramEnd(Arguments& arguments);
Command ParseCardInsert(Arguments& arguments);
Command ParseTimeSet(Arguments& arguments);
Command ParseContactAdd(Arguments& arguments);
Command ParseChooserPick(Arguments& arguments);

}  // namespace tovarin::emulator::console
