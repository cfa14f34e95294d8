#pragma once
// The host's road to the views: the module opens the views of the project a case or stream table
// was loaded into, runs scripts of form actions on them and hands out what each step answered.
// C linkage, looked up by name after dlopen. Every text handed out is copied into `out` (of
// `size` bytes, zero-ended); the entries answer the bytes the whole text needs with its zero.
class IEngineeringManager;
class ILurmetBinaryFile;

extern "C" {
// Opens the views of the project `project` of the manager: the project viewer with a scenario
// viewer per scenario. `open`: "project", "case", "scenario" (the first), "scenario=NAME", or a
// child address from the project viewer. `units` 0 SI, 1 customary. Answers the session, null
// with the reason in `error` when the project or the view is not there.
void* KestrinViewOpen(IEngineeringManager* manager, const char* project, const char* open, int units, int automation,
                      char* error, int size);
// The same for a case being read, its project read already: the views stored after the project
// are read back (a case without them gets views built as above). A view set that does not read
// back whole is refused as damaged.
void* KestrinViewOpenCase(IEngineeringManager* manager, ILurmetBinaryFile* file, const char* project, const char* open,
                          int units, int automation, char* error, int size);
// A new study built from nothing as a user creates it: `kind` "hi-project" (a project study:
// project, "Scenario 1" and its first design) or "hi-case" (a single-scenario case), named
// `name`, under the feature manager of a new document of the manager. `open` as above for a
// project study. Answers the session, null with the reason when the feature builds nothing.
void* KestrinViewNew(IEngineeringManager* manager, const char* kind, const char* name, const char* open, int units,
                     int automation, char* error, int size);
// The name of the project the session's study shows (a conversion or a rename changes it).
int KestrinViewProject(void* session, char* out, int size);
// Writes the session's views after the project into a case being saved: 1 done, 0 refused.
int KestrinViewStore(void* session, ILurmetBinaryFile* file);
// Runs a script (its name heads the error lines): 0 done, 1 stopped or a message came
// unannounced. `json` chooses the report's form; `form` adds the opened view's form.
int KestrinViewRun(void* session, const char* script, const char* scriptName, int json, int form);
// The report of the last run.
int KestrinViewReport(void* session, char* out, int size);
// The reason the last run stopped (empty: it did not stop).
int KestrinViewError(void* session, char* out, int size);
void KestrinViewClose(void* session);
// Whether the view records that follow a project in `file` read back whole, over the engine
// objects `manager` holds (a save's check before it replaces a file): 1, or 0 with the reason.
// A file at its end holds no views and passes.
int KestrinViewCheckRecords(IEngineeringManager* manager, ILurmetBinaryFile* file, const char* project, char* error,
                            int size);
}
