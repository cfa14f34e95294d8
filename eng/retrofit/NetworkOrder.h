#pragma once
// The order in which the retrofit models read an extracted network. The flowsheet lists its nodes
// in the order they were made, which follows the rows of the tables the user typed; the models
// would then see one plant as many, and a solver choosing among equal optima would choose by row
// or, ordered by names, by what the user called things. So the order comes from what the models
// read of the plant: streams and utilities by their temperatures, loads and (a utility's) cost
// (hot streams from the hottest supply down, cold ones from the coldest up, as the composite
// curves meet them; a large model searched to a gap meets the hottest sources first),
// the branches of a split by the heat each carries and the stream its first unit joins, the
// stream pieces along each stream from supply to target, and exchangers, heaters and coolers by
// where they sit on their streams. A name decides only between streams alike in all of that.
class FlowSheet;
struct RetrofitNetwork;

// Reorders the record lists of `network`, extracted from `sheet`, as above. Linear in the nodes
// after one sort of each list (n log n).
void OrderNetworkByPlant(const FlowSheet& sheet, RetrofitNetwork& network);
