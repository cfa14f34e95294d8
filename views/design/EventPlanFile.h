#pragma once
// Event-plan files: XML documents of named event plans and notes for the whole file.
//
//   <RootPlan>
//     <Event Name="...">                 one per plan, in plan-list order
//       <Notes Notes="..."/>
//       <Task Type="Clean">               exchanger tasks first, then flow tasks
//         <Data UnitName="E-100" NewValue="0.35" Units="kW/m2-C"/>
//       </Task>
//     </Event>
//     <RootNotes Notes="..."/>
//   </RootPlan>
//
// Everything sits in attributes. Files are written in UTF-8, "NewValue" in the C locale in the
// shortest form that reads back to the same double. Reading takes UTF-8 or UTF-16 with a byte
// order mark, never reaches the network or loads external entities or a DTD, ignores whitespace
// between elements, and takes "Event" elements at any depth in document order. Attributes are
// read by name; only where a name is missing is an attribute taken by its position.
#include "views/design/EventPlans.h"

#include <cstdint>
#include <string>

namespace event_plan_file {

// The names of the format.
inline constexpr const char* Namespace = "";
inline constexpr const char* RootPlan = "RootPlan";
inline constexpr const char* Event = "Event";
inline constexpr const char* Name = "Name";
inline constexpr const char* Task = "Task";
inline constexpr const char* Type = "Type";
inline constexpr const char* Data = "Data";
inline constexpr const char* UnitName = "UnitName";
inline constexpr const char* NewValue = "NewValue";
inline constexpr const char* Units = "Units";
inline constexpr const char* Notes = "Notes";
inline constexpr const char* RootNotes = "RootNotes";

struct PlanDocument {
    EventPlanList plans;
    Text notes;
};

// The document of the plans and file notes, pretty-printed.
std::string Write(const EventPlanList& plans, const Text& fileNotes);
// Writes the document as a case file is written (a temporary file of its own beside `path`,
// renamed over it; a link's file is written, the file's mode kept) and then puts it in its place;
// false when it could not, or when the document would not read back (text that is not UTF-8), the
// earlier file kept whole; `why`, when given, then says what went wrong.
bool Save(const Text& path, const EventPlanList& plans, const Text& fileNotes, std::string* why = nullptr);
// Reads a whole document; false for one that does not parse, has a DOCTYPE or whose root is not
// "RootPlan" (`out` is then unchanged).
bool Parse(const std::string& bytes, PlanDocument& out);
// Largest plan file read.
inline constexpr std::uint64_t MaxFileBytes = std::uint64_t{64} << 20;
// False also for a file that cannot be opened, is not a regular file or is larger than
// MaxFileBytes.
bool Load(const Text& path, PlanDocument& out);
// "NewValue" text: the shortest C-locale form that reads back to the same double.
std::string FormatValue(double value);
// A number in C-locale text (blanks around it allowed); -32767.0 for anything else.
double ParseValue(const std::string& text);

}  // namespace event_plan_file
