#pragma once

// Index of a view in the table of five views; also the layout code the bundler switches on.
enum ViewType {
    VIEW_ROOTED_TREE = 0,
    VIEW_BALLON_TREE = 1,
    VIEW_SLICE_AND_DICE = 2,
    VIEW_STRIP_TREEMAP = 3,
    VIEW_RADIAL_TREE = 4,
    VIEW_COUNT = 5
};
