# The viewer's script files, in the order they are joined into the page's one inline script
# (inside one function, so they share its scope; see catalog/embed.cmake). What a file runs
# at its top needs only the files before it; start.js, last, starts the viewer.
set(CATALOG_SCRIPT_PARTS
  format.js       # numbers, sizes, dates, attributes; the named bits of the data
  data.js         # the data block read into typed arrays
  tree.js         # the tree model: sums, names, paths, links
  comparison.js   # a catalogue compared with an earlier one; a folder table's entries
  search.js       # folding and matching names; the query's filters; a search in slices
  list.js         # the one virtual list: rows, active row, keys, ARIA state
  columns.js      # grids made from tables of columns: header, cells, sort, printout
  view-tree.js    # the folder tree
  view-files.js   # a folder's table
  view-hits.js    # the search's results, a grid
  view-changes.js # the changes since the earlier catalogue
  view-duplicates.js # the files with the same name and size in more than one place
  address.js      # the #/Folder/sub, #mudancas and #duplicados addresses
  start.js        # start-up
)
