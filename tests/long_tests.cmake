# Read by ctest: the unit tests that run longest, with their seconds on an idle two-core machine,
# so that a first run (no timings of an earlier one yet) starts them early instead of last. A
# name that no longer exists is ignored; ctest keeps its own timings after the first run.
set_tests_properties(TransferTest.ServerFreezingInADownloadIsReportedInTime PROPERTIES COST 12)
set_tests_properties(FtpConnectionFaults.SilentServerIsReportedInTimeWhileTheWindowKeepsGoing
                     PROPERTIES COST 10)
set_tests_properties(AllCharts.StrikingEveryNoteOnTimeIsAPerfectRun PROPERTIES COST 10)
set_tests_properties(AllCharts.StrikingThirtyMillisecondsLateGivesWhatTheWindowsGive PROPERTIES COST 10)
set_tests_properties(AllCharts.AutoPlayScoresTheLevelTimesAHundredThousand PROPERTIES COST 10)
set_tests_properties(Strikes.BigNotesInTheWaitModeAreJudgedWhereTheFirstKeyWentDown PROPERTIES COST 7)
set_tests_properties(CourseFlowTest.HundredAutoPlaysKeepTheStackFlat PROPERTIES COST 3)
set_tests_properties(ChartFiles.EveryNoteCanBeJudgedWithinItsPart PROPERTIES COST 2)
