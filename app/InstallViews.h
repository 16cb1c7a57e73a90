#pragma once
// Registers the view of each window kind with the view registry. Every view
// family adds its own line here; a kind without one keeps the plain named
// view.

void InstallViews();
