#pragma once
// Pure logic of the learner's aids beyond the copy test itself: options,
// aligned scoring, statistics. Free of widgets; may use the engine.
