#pragma once
// What a retrofit adds to each exchanger of the existing network: the area, shells and capital
// beyond those of the same unit (by DNA fingerprint) in the base design. A unit the base design
// does not have adds all of its own.
class FlowSheet;
class IHENDesign;

// Writes "AddArea" (m2), "AdShell" and "AddCapCost" on every exchanger of the design, each never
// below 0; answers the design's total added area.
double RecordAddedEquipment(const FlowSheet* base, IHENDesign& design);
