// A shlwapi.dll without StrToIntExA, for a run where the parse cannot be found.
extern "C" __declspec(dllexport) int QalomirStandIn() { return 0; }
