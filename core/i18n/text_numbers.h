#pragma once

// The string numbers of the texts that code asks for by name; the captions
// that the language switch sets are numbered in its own control table.
namespace tarvo {

inline constexpr int kTextNoData = 16;       // "No Any data !"
inline constexpr int kTextWrongFormat = 17;  // "Wrong file format!"
inline constexpr int kTextNoMeter = 19;      // "No Activate COM port found!"
inline constexpr int kTextSaved = 23;        // "File save OK !"
inline constexpr int kTextSaveFailed = 24;   // "File save fail !"
inline constexpr int kTextFileMissing = 25;  // "File is not exist!"
inline constexpr int kTextHelpManual = 26;   // the Help menu item's caption
inline constexpr int kTextRecordingInterval = 27;
inline constexpr int kTextSeconds = 28;
inline constexpr int kTextMeterDisconnected = 29;
inline constexpr int kTextPortPermissionHint = 30;
inline constexpr int kTextSaveTrace = 31;
inline constexpr int kTextPortsBusyHint = 32;   // "%1" stands for the list of devices
inline constexpr int kTextSearchingMeter = 33;  // status panel 0 during Start
inline constexpr int kTextReadingMeter = 34;    // status panel 0 while acquiring
inline constexpr int kTextCommandOutOfMemory = 40;
inline constexpr int kTextCommandFailed = 41;
inline constexpr int kTextWaitingShort = 42;             // status panel 0 while the meter is away
inline constexpr int kTextWaitingForMeter = 43;          // status panel 1 while the meter is away
inline constexpr int kTextSessionNotWritten = 44;        // status panel 1 when the folder refuses
inline constexpr int kTextSessionWaitingTip = 150;       // "%1" readings waiting, "%2" the reason
inline constexpr int kTextSessionWrittenAgain = 151;     // status panel 1
inline constexpr int kTextSessionWrittenAgainTip = 152;  // "%1" the time, "%2" the file
inline constexpr int kTextSessionMadeAnew = 153;         // status panel 1
inline constexpr int kTextSessionMadeAnewTip = 154;      // "%1" the time, "%2" the file
inline constexpr int kTextSessionsTitle = 47;
inline constexpr int kTextSessionStarted = 48;
inline constexpr int kTextSessionReadings = 49;
inline constexpr int kTextSessionState = 50;
inline constexpr int kTextSessionUnfinished = 51;  // then stopped, saved, recording
inline constexpr int kTextSessionStopped = 52;
inline constexpr int kTextSessionSaved = 53;
inline constexpr int kTextSessionRecording = 54;
inline constexpr int kTextNoSessions = 55;
inline constexpr int kTextSessionLastReading = 56;
inline constexpr int kTextOpenSession = 57;
inline constexpr int kTextBrokerConnecting = 60;  // the broker's states, in a status field
inline constexpr int kTextBrokerOnline = 61;
inline constexpr int kTextBrokerOffline = 62;
inline constexpr int kTextBrokerRefused = 63;
inline constexpr int kTextBrokerWaiting = 64;
inline constexpr int kTextInfluxConnecting = 520;  // InfluxDB's states, as the broker's 60-63
inline constexpr int kTextInfluxOnline = 521;
inline constexpr int kTextInfluxOffline = 522;
inline constexpr int kTextInfluxRefused = 523;
inline constexpr int kTextAlarmHigh = 540;  // a desktop notice's title
inline constexpr int kTextAlarmLow = 541;
inline constexpr int kTextAlarmStale = 542;
inline constexpr int kTextAlarmAcknowledge = 543;  // the notice's action
inline constexpr int kTextAlarmSince =
    544;  // "%1" the value, "%2" the time it began  // "%1" stands for the number of readings
inline constexpr int kTextAddNote = 545;         // the menu item
inline constexpr int kTextNoteTitle = 546;       // the note dialog's title
inline constexpr int kTextNotePrompt = 547;      // while a session is written
inline constexpr int kTextNoteNotWritten = 548;  // while none is
inline constexpr int kTextAddNoteTip = 549;
// View > Combined chart: the sessions of meters recorded side by side.
inline constexpr int kTextCombinedChartMenu = 610;
inline constexpr int kTextCombinedChartTitle = 611;
inline constexpr int kTextCombinedGroup = 612;
inline constexpr int kTextCombinedFormulas = 613;
inline constexpr int kTextCombinedDraw = 614;
inline constexpr int kTextCombinedNoGroups = 615;
inline constexpr int kTextCombinedGroupItem = 616;  // %1 sessions, %2 when the first started
inline constexpr int kTextCombinedCannotDraw = 617;  // %1 the reason
inline constexpr int kTextCombinedChartTip = 618;
inline constexpr int kTextNoteColumn = 575;  // the title of the exports' Note column
inline constexpr int kTextStatisticsTitle = 73;
inline constexpr int kTextStatsPage = 74;
inline constexpr int kTextStatsRun = 75;
inline constexpr int kTextStatsLog = 76;
inline constexpr int kTextStatsKey = 77;
inline constexpr int kTextStatsCount = 78;
inline constexpr int kTextStatsMin = 79;
inline constexpr int kTextStatsMinTime = 80;
inline constexpr int kTextStatsMax = 81;
inline constexpr int kTextStatsMaxTime = 82;
inline constexpr int kTextStatsMean = 83;
inline constexpr int kTextStatsDeviation = 84;
inline constexpr int kTextStatsFirst = 85;
inline constexpr int kTextStatsLast = 86;
inline constexpr int kTextStatsOverloads = 87;
inline constexpr int kTextStatsLowestFrame = 88;
inline constexpr int kTextStatsHighestFrame = 89;
inline constexpr int kTextStatsOutside = 90;
inline constexpr int kTextLimitsTitle = 91;
inline constexpr int kTextHighLimit = 92;
inline constexpr int kTextLowLimit = 93;
inline constexpr int kTextMuteAlarm = 94;
inline constexpr int kTextLimitsFor = 95;
inline constexpr int kTextOutsideLimitsNote = 96;
inline constexpr int kTextNotANumber = 97;
inline constexpr int kTextLowAboveHigh = 98;
inline constexpr int kTextNoReadingForLimits = 99;
inline constexpr int kTextOk = 105;
inline constexpr int kTextCancel = 106;
inline constexpr int kTextOverviewTitle = 121;
inline constexpr int kTextOverviewShowAll = 122;
inline constexpr int kTextOverviewReadings = 123;  // "%1" first, "%2" last, "%3" of the log
inline constexpr int kTextOverviewFromTo = 124;    // the moments of the first and the last
inline constexpr int kTextOverviewEmpty = 125;
inline constexpr int kTextOverviewHint = 126;
// 130-134: the views holding on an older part of the log; the debug window.
inline constexpr int kTextFollowingPaused = 130;
inline constexpr int kTextFollowingPausedCount = 131;  // "%1" readings since
inline constexpr int kTextBackToNewest = 132;
inline constexpr int kTextBackToNewestTip = 133;
inline constexpr int kTextDebugTitle = 134;
// 140-143: the recovery bar; the marks of readings after a gap and of test frames.
inline constexpr int kTextRecoveryBar = 140;  // "%1" start, "%2" readings, "%3" last
inline constexpr int kTextDismiss = 141;
inline constexpr int kTextGapMark = 142;            // tip of the first reading after a gap
inline constexpr int kTextTestFrameMark = 143;      // tip of a typed test frame
inline constexpr int kTextSaveTargetRefused = 160;  // "%1" stands for the file's name
inline constexpr int kTextBrokerDropped = 161;      // "%1" stands for the number of readings
inline constexpr int kTextIdle = 170;               // status panel 0 while nothing runs
inline constexpr int kTextNoIntervalChosen = 171;   // status panel 2 until an interval is chosen
inline constexpr int kTextSettingsWereReset = 181;  // the message after it
// 400-417: the names a screen reader says for controls without a caption of
// their own; 420-468: the tooltips. The control hint table in ui/ numbers them.
inline constexpr int kTextPublishingTitle = 481;
inline constexpr int kTextPublishingBroker = 482;   // the group, then its fields 483-488
inline constexpr int kTextPublishingInflux = 489;   // the group, then its fields 490-494
inline constexpr int kTextPublishingAtStart = 495;  // when the settings apply
inline constexpr int kTextPublishingKeychain = 496;
inline constexpr int kTextPublishingNoKeychain = 497;
inline constexpr int kTextPublishingBadBroker = 498;  // 498-502: what keeps them from use
// 560-567: the Limits dialog's hysteresis, minimum duration and stale alarm.
inline constexpr int kTextHysteresis = 560;
inline constexpr int kTextMinDuration = 561;
inline constexpr int kTextStaleAfter = 562;
inline constexpr int kTextNegative = 563;  // "%1" stands for the text typed
inline constexpr int kTextHysteresisTooWide = 564;
inline constexpr int kTextHysteresisTip = 565;
inline constexpr int kTextMinDurationTip = 566;
inline constexpr int kTextStaleAfterTip = 567;
inline constexpr int kTextFirstControlHint = 400;
inline constexpr int kTextLastControlHint = 479;
inline constexpr int kTextAboutTitle = 200;
inline constexpr int kTextAboutFirstLine = 201;  // the about box's lines, 201 to 220
inline constexpr int kTextAboutLastLine = 220;
inline constexpr int kTextOhmSign = 912;  // "Ω"

}  // namespace tarvo
