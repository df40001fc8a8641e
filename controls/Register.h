#pragma once
// Puts the data-aware controls (QuorDbEdit, TDBQuorLookupComboBox,
// TQuorTreeView) on the component palette page "Quor".

void RegisterQuorControls();
