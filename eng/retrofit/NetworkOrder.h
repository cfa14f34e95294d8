#pragma once
// The order in which the retrofit models read an extracted network. The flowsheet lists its nodes
// in the order they were made, which follows the rows of the tables the user typed; the models
// would then see one plant as many, and a solver choosing among equal optima would choose by row.
// The streams and utilities come from the extraction in the plant's normal form (by name, a
// utility's rows one range); here the other record lists are put in an order of names only:
// exchangers, heaters and coolers by unit name, the branches of a split by the name of the first
// unit on each, and stream pieces along each stream (streams by name) from supply to target.
class FlowSheet;
struct RetrofitNetwork;

// Reorders the record lists of `network`, extracted from `sheet`, as above. Linear in the nodes
// after one sort of each list (n log n).
void OrderNetworkByNames(const FlowSheet& sheet, RetrofitNetwork& network);
