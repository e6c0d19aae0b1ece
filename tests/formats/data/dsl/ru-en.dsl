#NAME "Carro: Russian-English"
#INDEX_LANGUAGE "Russian"
#CONTENTS_LANGUAGE "English"

тормоз
	[m1][trn]brake[/trn][/m]
	[m1]Узел, который [i]замедляет[/i] колесо.[/m]

сцепление
муфта сцепления
	clutch, clutch assembly

распредвал
	[m1][p]разг.[/p] camshaft; [com]то же, что[/com] <<распределительный вал>>[/m]
