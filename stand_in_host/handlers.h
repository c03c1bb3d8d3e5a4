// The commands' handlers, listed in commands.cpp. Each takes the words after its command
// name; the runner checks that none is left over.
#pragma once

#include "stand_in_host/script.h"

// Labels and the range (label_commands.cpp).
void RangeCommand(Words& args);
void LabelCommand(Words& args);
void UnlabelCommand(Words& args);
void ClearCommand(Words& args);
void FillCommand(Words& args);
void LabelsFromCommand(Words& args);
void MutateCommand(Words& args);
void ShowLabelsCommand(Words& args);
void KeptBackCommand(Words& args);
void SnapshotCommand(Words& args);
void ChangesCommand(Words& args);

// The plugin and its entry points (plugin_commands.cpp).
void LoadCommand(Words& args);
void UnloadCommand(Words& args);
void ReloadCommand(Words& args);
void DataCommand(Words& args);
void InitCommand(Words& args);
void MenuCommand(Words& args);
void ActionCommand(Words& args);
void TimedActionCommand(Words& args);
void FailAllocationsCommand(Words& args);

// The plugin's reading against the undecorator (cost_commands.cpp).
void ReaderShareCommand(Words& args);

// The host itself (host_commands.cpp).
void SayCommand(Words& args);
void TraceCommand(Words& args);
void TallyCommand(Words& args);
void MemoryMarkCommand(Words& args);
void MemoryControlCommand(Words& args);
void MemoryGrowthCommand(Words& args);
void LoadAndFreeCommand(Words& args);
